#pragma once
// Qt's file dialogs tell a listed file's type and icon by its name alone. Left to itself their
// model opens every file it lists to read its first bytes, and closing that descriptor drops
// every POSIX lock this process holds on the file: a dialog showing the program folder would
// drop the store's locks on the lists file, and another program opening it then takes itself
// for its last user and removes the write-ahead log the store still writes into.
class QFileDialog;

namespace tolvaran {

// Gives dialog the name-only type and icon provider (shared, alive for the whole run), and
// makes it Qt's own dialog: a platform's native dialog in this process (GTK's) reads the
// files it lists in the same way.
void TellFileTypesByName(QFileDialog& dialog);

}  // namespace tolvaran
