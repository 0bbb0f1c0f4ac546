// The records of the uninstall log: the one definition the installer writes them by and the
// uninstaller reads them by. The log is a text file of lines; a record is a line made of ".",
// the record's code letter and its text, with no separator between them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rvx::uninstall_log {

enum class RecordCode : char {
    file = 'D',                   // a file to delete, or a "*" name pattern for leftover files
    shared_file = 'E',            // a shared file whose use count is lowered (deleted at zero)
    install_folder = 'F',         // the installation folder, walked for leftover files
    product = 'R',                // the product's name
    registry_key = 'X',           // a registry line naming a key deleted with all its subkeys
    command = 'P',                // a program-manager command, in its brackets
    conditional_file = 'A',       // with the B record after it: the file whose deletion by an
    conditional_command = 'B',    //   E record lets B's program-manager command be sent
    warning_condition = 'C',      // with the M record after it: the condition for showing
    warning = 'M',                //   M's warning text; M goes on over the following lines
                                  //   that do not begin with "."
    service = 'G',                // a service, stopped and deleted before anything else
    folder_to_remove = 'Z',       // a folder removed with its subfolders once they are empty
    selected_registry_key = 'Y',  // a selector character, then a registry line read like X's;
                                  //   read, never written
};

// Begins every record line.
inline constexpr char kRecordMark = '.';
// What ends every line on disk: the log is written in text mode on the system.
inline constexpr std::string_view kLineEnd = "\r\n";

struct Record {
    RecordCode code;
    std::string text;

    bool operator==(const Record&) const = default;
};

// True for the codes above; a reader passes over records with any other letter.
bool IsKnownRecordCode(RecordCode code);

// The record's line(s) without the final line end. Every record is one line, so a line break
// in its text, which would let the rest be read as a record of its own, becomes a blank. The
// warning text (M) is the exception: each of its lines ("\n" or "\r\n") becomes a line on
// disk; an empty one is written as kEmptyWarningLine, and one that would begin with "." gets a
// blank ahead of it, so that every line still continues the warning.
std::string FormatRecord(RecordCode code, std::string_view text);

// The record a line holds; the line may still carry its line end. Nothing for a line that does
// not begin with "." and a letter (a continuation of a warning, for instance).
std::optional<Record> ParseRecordLine(std::string_view line);
// The same for a line as the log reader gives it, its line end already gone: everything after
// the code letter is the record's text, a final "\r" included.
std::optional<Record> ParseRecord(std::string_view line);

// A continuation line that begins with these two characters stands for an empty line of the
// warning, whatever follows them.
inline constexpr std::string_view kEmptyWarningLine = "\\n";

// True when the line continues the warning text of the M record before it: it is not empty and
// does not begin with ".".
bool IsContinuationLine(std::string_view line);

}  // namespace rvx::uninstall_log
