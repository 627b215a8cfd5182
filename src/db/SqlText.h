#pragma once
#include <QString>
#include <QStringList>

namespace db {

// A statement text with its named parameters (":NAME") replaced by "?" markers.
struct PositionalSql {
    QString sql;
    QStringList names;  // upper-cased parameter name of each "?", in order; a name may repeat
};

// Replaces every :NAME outside quoted strings, quoted identifiers and comments by "?".
// Names compare without regard to case (":Isn" and ":ISN" are the same parameter).
PositionalSql toPositional(const QString& sql);

// Splits a creation script into statements. Understands "SET TERM x ;" so that trigger and
// procedure bodies stay whole; "--" and "/* */" comments and quoted text never split.
QStringList splitScript(const QString& script);

}  // namespace db
