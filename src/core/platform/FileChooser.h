// What the program needs from whoever lets the user pick a file: the desktop's file dialogs in
// the program, scripted answers in tests.
#pragma once

#include <string>

namespace brindle {

// What a file dialog offers: the extension added to a name typed without one, the name the dialog
// starts with, and the file types in the form "label|patterns|label|patterns||".
struct FileChoice {
    std::string extension;
    std::string defaultName;
    std::string filter;
};

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // An open-file dialog for an existing file; the chosen path, empty when cancelled.
    virtual std::string ChooseFileToOpen(const FileChoice& choice) = 0;
    // A save-file dialog that asks before an existing file is replaced; the chosen path, empty
    // when cancelled.
    virtual std::string ChooseFileToSave(const FileChoice& choice) = 0;
};

} // namespace brindle
