#pragma once
// A value as a character field keeps it. Lookups that stand for the table
// engine's walks compare an XML value with what a field holds; comparing the
// value in its stored form lets a value find the record it was written to, also
// when it was longer than the field or held a character the tables' code page
// lacks (stored as its base letter or "?", cp1252.h).

#include "common/dbf_table.h"

#include <QString>

// The text a field returns after `value` was written to it: for a character field
// cut to its width, in Windows-1252, without trailing spaces; any other field's
// value is returned as it is.
QString storedText(const QString &value, const dbf::FieldDef &field);
