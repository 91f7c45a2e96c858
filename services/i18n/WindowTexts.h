#pragma once
// A window's text loading: one series of dictionary lookups, run only while
// the dictionary is available, keeping the built-in text of anything the
// dictionary does not know.

#include <QString>

class QObject;

namespace vapora {

class TDataModuleMur;

class WindowTexts {
public:
    explicit WindowTexts(TDataModuleMur* dictionary);
    ~WindowTexts();
    WindowTexts(const WindowTexts&) = delete;
    WindowTexts& operator=(const WindowTexts&) = delete;

    bool Active() const { return active_; }
    // The dictionary's text for key, or fallback.
    QString Get(const char* key, const QString& fallback, int maxLength = 0);
    // text replaced when the dictionary has the key.
    bool Has(const char* key, QString& text, int maxLength = 0);
    // The control's text from its own name, left alone when missing.
    void Control(QObject* control, int maxLength = 0);
    // A control's text from another key.
    void ControlFrom(QObject* control, const char* key, int maxLength = 0);

private:
    TDataModuleMur* dictionary_;
    bool active_;
};

} // namespace vapora
