#pragma once
// Rules of editing the catalogue from the desktop: the editor's seven fields and the entry
// they fill, and where the shown program's number goes when entries disappear.

#include "catalogue/program_entry.h"

#include <cstddef>
#include <string>

class Icons;

// What the program editor shows and returns.
struct ProgramFields {
    std::string name;
    std::string programPath;
    std::string parameters;
    std::string iconFile;
    int iconIndex = 0;
    std::string screenshotPath;
    int showCommand = kShowNormal;
};

inline constexpr const char* kNewProgramCaption = "Icon description";
inline constexpr const char* kNewProgramDescription = "Program description";
inline constexpr const char* kDescriptionTooLong =
    "Program description wasn't saved as too long. Shorten the description and press save "
    "button once again.";
inline constexpr const char* kCatalogueFull =
    "The program list is full: it holds 65535 programs. Delete a program before adding another.";
// A description is saved only while its RTF text has fewer characters than this.
inline constexpr std::size_t kMaxDescriptionLength = 5000;

ProgramFields FieldsOf(const ProgramEntry& entry);
// Writes the seven fields into `entry`, each text cut to its field; the description, cell and
// tab stay as they are.
void StoreFields(ProgramEntry& entry, const ProgramFields& fields);
// A new entry on (column, row) of `tab` with the default description.
ProgramEntry NewProgramEntry(const ProgramFields& fields, int column, int row, int tab);

// The number of the shown entry (or -1) after entry `removed` was deleted.
int ShownAfterRemovingEntry(int shown, int removed);
// The number of the shown entry (or -1) after tab `tab` and its entries go; asked before the
// catalogue changes.
int ShownAfterRemovingTab(const Icons& catalogue, int shown, int tab);
