// Compiled with the flags of each library of the program: only the forms
// runtime on Qt may find Qt's headers, and QtCore's are the first to leak.
// The first include is reachable from every layer, so a failure on it is not
// taken for the expected one.
#include "platform/system/file_replace.h"
#include <QObject>
