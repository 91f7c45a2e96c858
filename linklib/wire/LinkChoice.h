#pragma once
// Where the link setting comes from; the first one found wins:
//   1. the environment variable VAPORA_LINK;
//   2. "link=" in SerNoxDL.conf beside the library (a line fixed for the machine);
//   3. the user's choice, the value "Link" of the program's settings, made in
//      the program's serial port window;
//   4. "default=" in SerNoxDL.conf beside the library (the installed package
//      ships "none": no unit until the user chooses one);
//   5. the in-process simulated unit.
// The library reads it again at every opening of the link, so a new choice
// works without a restart; the program and the tool read it to check the port.

#include <filesystem>
#include <string>

namespace sernox::wire {

enum class LinkSource { Environment, LibraryFile, UserChoice, LibraryDefault, BuiltIn };

struct ResolvedLink {
    std::string text; // the setting's text (see LinkSetting.h)
    LinkSource source = LinkSource::BuiltIn;
};

// The value under which the program keeps the user's choice.
inline constexpr const char* kUserLinkValue = "Link";

// The program's settings file: $XDG_CONFIG_HOME (else ~/.config)/Murazzoni/Vapora.conf.
// Empty on Windows, where the settings live in the registry.
std::filesystem::path UserSettingsFile();

// The user's choice as the settings file holds it (the registry's value when the
// file name is empty, on Windows); empty when there is none.
std::string ReadUserLinkChoice(const std::filesystem::path& settingsFile);

ResolvedLink ResolveLinkSetting(const std::filesystem::path& libraryDir, const std::filesystem::path& settingsFile);

} // namespace sernox::wire
