#pragma once
// The words for why a configuration file could not be loaded or saved: the window's own
// headline, then the cause the model names, both from the dictionary.

#include "model/FileError.h"

#include <QString>

namespace vapora {

class WindowTexts;

// The cause alone; empty when there is nothing more to say than the headline.
QString FileErrorText(WindowTexts& texts, FileError error);

// headline, and the cause on the next line when there is one.
QString FileFailureMessage(WindowTexts& texts, const QString& headline, FileError error);

} // namespace vapora
