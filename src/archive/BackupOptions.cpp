#include "archive/BackupOptions.h"

#include <QCoreApplication>
#include <QStringList>

#include <ibase.h>

namespace archive {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("BackupOptions", text);
}

// Splits at blanks; a double-quoted part is one word without its quotes.
QStringList words(const QString& text) {
    QStringList out;
    QString word;
    bool quoted = false, any = false;
    for (const QChar c : text) {
        if (c == u'"') {
            quoted = !quoted;
            any = true;
        } else if (c.isSpace() && !quoted) {
            if (any) out.append(word);
            word.clear();
            any = false;
        } else {
            word.append(c);
            any = true;
        }
    }
    if (any) out.append(word);
    return out;
}

enum class Switch { Ignored, Flag, Verbose, User, Password, Factor };

struct Known {
    const char* name;  // full switch name
    int shortest;      // how many of its first letters gbak needs
    Switch kind;
    unsigned flag;
};

// The backup switches of gbak that mean something for a backup made through the services.
const Known KnownSwitches[] = {
    {"backup_database", 1, Switch::Ignored, 0},
    {"transportable", 1, Switch::Ignored, 0},
    {"convert", 2, Switch::Flag, isc_spb_bkp_convert},
    {"expand", 1, Switch::Flag, isc_spb_bkp_expand},
    {"factor", 2, Switch::Factor, 0},
    {"garbage_collect", 1, Switch::Flag, isc_spb_bkp_no_garbage_collect},
    {"ignore", 2, Switch::Flag, isc_spb_bkp_ignore_checksums},
    {"limbo", 1, Switch::Flag, isc_spb_bkp_ignore_limbo},
    {"nt", 2, Switch::Flag, isc_spb_bkp_non_transportable},
    {"nodbtriggers", 3, Switch::Flag, isc_spb_bkp_no_triggers},
    {"old_descriptions", 2, Switch::Flag, isc_spb_bkp_old_descriptions},
    {"verify", 1, Switch::Verbose, 0},
    {"verbose", 4, Switch::Verbose, 0},
    {"user", 4, Switch::User, 0},
    {"password", 3, Switch::Password, 0},
};

const Known* find(const QString& word) {
    const QString name = word.mid(1).toLower();
    if (name.isEmpty()) return nullptr;
    for (const Known& k : KnownSwitches) {
        const QString full = QString::fromLatin1(k.name);
        if (name.size() >= k.shortest && full.startsWith(name)) return &k;
    }
    return nullptr;
}

}  // namespace

BackupOptions ParseBackupCommand(const QString& command) {
    BackupOptions o;
    const QStringList list = words(command);
    int i = 0;
    // The tool's path: everything before the first switch.
    while (i < list.size() && !list[i].startsWith(u'-')) ++i;
    for (; i < list.size(); ++i) {
        const QString& word = list[i];
        const Known* k = word.startsWith(u'-') ? find(word) : nullptr;
        if (!k) {
            o.error = tr("Arhīva sagatavošanas rindā nesaprotams parametrs \"%1\".").arg(word);
            return o;
        }
        auto value = [&](QString& into) {
            if (i + 1 >= list.size()) {
                o.error = tr("Arhīva sagatavošanas rindā pēc \"%1\" trūkst vērtības.").arg(word);
                return false;
            }
            into = list[++i];
            return true;
        };
        switch (k->kind) {
            case Switch::Ignored:
                break;
            case Switch::Flag:
                o.flags |= k->flag;
                break;
            case Switch::Verbose:
                o.verbose = true;
                break;
            case Switch::User:
                if (!value(o.user)) return o;
                break;
            case Switch::Password:
                if (!value(o.password)) return o;
                break;
            case Switch::Factor: {
                QString text;
                if (!value(text)) return o;
                bool ok = false;
                o.factor = text.toInt(&ok);
                if (!ok || o.factor < 0) {
                    o.error =
                        tr("Arhīva sagatavošanas rindā \"%1 %2\": jābūt veselam skaitlim.").arg(word, text);
                    return o;
                }
                break;
            }
        }
    }
    return o;
}

}  // namespace archive
