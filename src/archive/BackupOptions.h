#pragma once
#include <QString>

namespace archive {

// What the backup command line asks for: the gbak switches, read the way gbak reads them
// (a leading dash, any case, abbreviated down to the shortest form gbak accepts). The tool's
// path in front of them is accepted and not used: the engine's services make the same backup.
struct BackupOptions {
    QString user = QStringLiteral("SYSDBA");
    QString password = QStringLiteral("pwlkjhgfd");
    unsigned flags = 0;  // isc_spb_bkp_* options
    bool verbose = false;
    int factor = 0;
    QString error;  // empty when the whole line was understood

    bool ok() const { return error.isEmpty(); }
};

BackupOptions ParseBackupCommand(const QString& command);

}  // namespace archive
