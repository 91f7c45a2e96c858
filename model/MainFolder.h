#pragma once
// Which folder the program and the tool work in. Inside a build tree or any
// main folder, that folder; an installed program that is started elsewhere
// works in the user's own main folder, made from the template it ships and
// refreshed from a newer template without touching what the user changed.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace vapora {

// The file whose presence makes a folder a main folder: without the
// dictionary the program cannot start.
inline constexpr const char* kMainFolderMark = "DizVapora.dbf";
// In the user's main folder: the checksum of every template file as it was
// installed there ("<sha256>  <relative path>" lines, as sha256sum writes them).
inline constexpr const char* kTemplateManifest = ".vapora-template.sha256";
// The template's guide folder, which the help window reads in place.
inline constexpr const char* kTemplateGuideFolder = "guide";

bool IsMainFolder(const std::filesystem::path& folder);

// $XDG_DATA_HOME/Vapora, else $HOME/.local/share/Vapora (on Windows
// %APPDATA%\Vapora); empty when none of them is known.
std::filesystem::path UserMainFolder();

// The template an installed program ships, <program folder>/../share/vapora,
// when that is a main folder; empty otherwise (a build tree, a copied program).
std::filesystem::path InstalledTemplate(const std::filesystem::path& programFolder);

struct MainFolderChoice {
    std::filesystem::path folder;         // where to work
    std::filesystem::path templateFolder; // set when folder is the user's, to be made from this template
};

// current when it is a main folder; else the user's main folder when a
// template is installed; else current (which then lacks the dictionary, and
// the program says so as it always has).
MainFolderChoice ChooseMainFolder(const std::filesystem::path& current, const std::filesystem::path& templateFolder,
                                  const std::filesystem::path& userFolder);

struct TemplateRefresh {
    int copied = 0;   // files the user's folder did not have
    int replaced = 0; // untouched copies of an earlier template, now the new one
    int kept = 0;     // template files the user or an update changed: left alone
    std::vector<std::string> failures; // one line per file or folder that could not be written
    bool Ok() const { return failures.empty(); }
};

// Makes `home` from `templateFolder` or brings it up to date. A template file
// is copied when the user's folder lacks it and never had it (a file the user
// deleted stays deleted, except the dictionary), and replaced only when the
// user's copy is still exactly what the manifest says was installed. Files the
// template does not have are never touched. The manifest is rewritten at the end.
TemplateRefresh RefreshFromTemplate(const std::filesystem::path& templateFolder, const std::filesystem::path& home);

// The manifest's records: relative path (with '/') to checksum. Lines that
// cannot be read are skipped.
std::map<std::string, std::string> ReadTemplateManifest(const std::filesystem::path& home);

} // namespace vapora
