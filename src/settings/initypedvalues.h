#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

/// QSettings reads an INI value that starts with "@" as a typed value, and
/// decodes "@Variant(...)" and "@DateTime(...)" from binary data: from a file
/// anyone may have edited, that can ask for gigabytes or for any type Qt can
/// load. The program stores text only and never writes such values (its own
/// texts starting with "@" are written "@@..."), so they are taken out of the
/// file's bytes before QSettings reads them.
namespace IniTypedValues {

struct Cleaned {
    QByteArray bytes;
    int removed = 0; ///< values emptied
};

/// The bytes with every typed value emptied ("key=" stays): a value, or an
/// element of a list, that reads once unescaped as "@...)", but not "@@..."
/// nor "@String(...)", the forms QSettings writes texts in. Lines, comments
/// and every other value are kept byte for byte.
Cleaned remove(QByteArrayView ini);

/// One INI value (the text after "=") unescaped as QSettings does: quotes,
/// backslash escapes, blanks trimmed; a value with a "," outside quotes is a
/// list of several texts.
QStringList unescaped(QByteArrayView value, bool *isList);

} // namespace IniTypedValues
