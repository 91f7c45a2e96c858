#pragma once
// At start the program removes the scratch files and folders that a killed run of its own
// left in the temporary folder and in the folders it saves into.

#include <QString>

namespace vapora {

// Answers how many files went.
int RemoveStaleScratch(const QString& mainFolder);

} // namespace vapora
