#include "app/KeyList.h"

namespace app {

QString FormatKeyList(const QList<int>& keys) {
    QString text;
    for (int key : keys) text += QLatin1Char('|') + QString::number(key) + QLatin1Char('|');
    return text;
}

QList<int> ParseKeyList(const QString& text) {
    QList<int> keys;
    const QStringList parts = text.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        bool ok = false;
        const int key = part.trimmed().toInt(&ok);
        if (ok) keys.append(key);
    }
    return keys;
}

bool KeyListContains(const QString& text, int key) {
    return text.contains(QLatin1Char('|') + QString::number(key) + QLatin1Char('|'));
}

}  // namespace app
