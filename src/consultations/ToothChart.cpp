#include "consultations/ToothChart.h"

#include <algorithm>

namespace dentalchart {

namespace {

const QString KanPild = QStringLiteral("kan_pild");
const QString Piena = QStringLiteral("piena");
const QString Navpar = QStringLiteral("NAVPAR");

QString joinFlags(const QStringList& flags) {
    return flags.isEmpty() ? QString() : flags.join(u'/') + u'/';
}

// Removes the flag when present, else appends it. `flag` is written with its closing '/'.
void toggleFlag(QString& text, const QString& flag) {
    const QString name = flag.chopped(1);
    QStringList flags = Flags(text);
    if (flags.contains(name))
        flags.removeAll(name);
    else
        flags.append(name);
    text = joinFlags(flags);
}

void addFlag(QString& text, const QString& name) {
    QStringList flags = Flags(text);
    flags.append(name);
    text = joinFlags(flags);
}

void removeFlag(QString& text, const QString& name) {
    if (!HasFlag(text, name)) return;
    QStringList flags = Flags(text);
    flags.removeAll(name);
    text = joinFlags(flags);
}

// One record of the stored text without its closing '|': position, '+', a two-letter key, for
// keys other than "st" one digit, then the value. False when it does not follow that form.
bool readRecord(const QString& record, std::array<ToothRecord, PositionCount>& teeth) {
    const qsizetype plus = record.indexOf(u'+');
    if (plus < 0 || record.indexOf(u'+', plus + 1) >= 0) return false;
    const QString positionText = record.left(plus).trimmed();
    bool ok = false;
    const int index = positionText.toInt(&ok);
    if (!ok || positionText.startsWith(u'-') || positionText.startsWith(u'+') || index < 0 ||
        index >= PositionCount)
        return false;
    ToothRecord& tooth = teeth[index];
    const QString key = record.mid(plus + 1, 2);
    if (key == QLatin1String("st")) {
        tooth.st = record.mid(plus + 3);
        return true;
    }
    if (record.size() < plus + 4) return false;
    const QChar digit = record.at(plus + 3);
    if (digit < u'0' || digit > u'9') return false;
    const int sub = digit.digitValue();
    const QString value = record.mid(plus + 4);
    if (key == QLatin1String("kz") || key == QLatin1String("kf")) {
        if (sub >= SurfaceCount) return false;
        (key == QLatin1String("kz") ? tooth.kz : tooth.kf)[sub] = value;
        return true;
    }
    if (key != QLatin1String("el") && key != QLatin1String("sk")) return false;
    // Roots beyond the position's count are never written back, so they would be lost.
    if (sub >= ToothChart::rootCount(index + 1)) return false;
    if (key == QLatin1String("sk")) {
        tooth.sk[sub] = value;
        return true;
    }
    static const QStringList levels{QStringLiteral("-1"), QStringLiteral("0"), QStringLiteral("1"),
                                    QStringLiteral("2")};
    const int level = levels.indexOf(value) - 1;
    if (level < -1) return false;
    tooth.el[sub] = level;
    // A filled canal: the root's flags follow in an "sk" record only when there are others.
    tooth.sk[sub] = KanPild;
    return true;
}

}  // namespace

QStringList Flags(const QString& text) { return text.split(u'/', Qt::SkipEmptyParts); }

bool HasFlag(const QString& text, const QString& flag) { return Flags(text).contains(flag); }

int SurfaceAt(QPoint point) {
    const int x = point.x() - 8;
    const int y = point.y() - 8;
    const int d2 = (x - 18) * (x - 18) + (y - 18) * (y - 18);
    if (d2 <= 64) return 4;
    if (d2 > 324) return -1;
    if ((x < 18 && x <= y && y <= 18) || (y > 18 && x <= 36 - y)) return 0;
    if ((y < 18 && y <= x && x <= 18) || (x > 18 && y <= 36 - x)) return 1;
    if (x > 18 && ((y <= 18 && y >= 36 - x) || (y > 18 && 36 - y >= 36 - x))) return 2;
    if (y > 18 && ((x <= 18 && x >= 36 - y) || (x > 18 && 36 - x >= 36 - y))) return 3;
    return -1;
}

int ToothChart::rootCount(int t) {
    switch (t) {
    case 1: case 5: case 12: case 16: case 17: case 18: case 19: case 30: case 31: case 32:
        return 2;
    case 2: case 3: case 14: case 15:
        return 3;
    default:
        return 1;
    }
}

bool ToothChart::isMilkPosition(int t) { return (t >= 4 && t <= 13) || (t >= 20 && t <= 29); }

QStringList ToothChart::read(const QString& text) {
    m_teeth = {};
    m_milkAdded.clear();
    m_milkAddedKnown = false;
    QStringList skipped;
    const QStringList records = text.split(u'|');
    for (qsizetype i = 0; i < records.size(); ++i) {
        const QString& record = records[i];
        if (i == records.size() - 1) {
            // After the last '|': nothing, unless the text was cut short.
            if (!record.trimmed().isEmpty()) skipped.append(record);
        } else if (!readRecord(record, m_teeth)) {
            skipped.append(record + u'|');
        }
    }
    return skipped;
}

QString ToothChart::text() const {
    QString out;
    for (int i = 0; i < PositionCount; ++i) {
        const ToothRecord& r = m_teeth[i];
        const QString p = QString::number(i);
        if (!r.st.isEmpty()) out += p + QLatin1String("+st") + r.st + u'|';
        for (int s = 0; s < SurfaceCount; ++s)
            if (!r.kz[s].isEmpty()) out += p + QLatin1String("+kz") + QString::number(s) + r.kz[s] + u'|';
        for (int s = 0; s < SurfaceCount; ++s)
            if (!r.kf[s].isEmpty()) out += p + QLatin1String("+kf") + QString::number(s) + r.kf[s] + u'|';
        const int roots = rootCount(i + 1);
        for (int k = 0; k < roots; ++k)
            if (r.el[k] > -1)
                out += p + QLatin1String("+el") + QString::number(k) + QString::number(r.el[k]) + u'|';
        for (int k = 0; k < roots; ++k)
            if (!r.sk[k].isEmpty() && r.sk[k] != KanPild)
                out += p + QLatin1String("+sk") + QString::number(k) + r.sk[k] + u'|';
    }
    return out;
}

bool ToothChart::isMilkTooth(int t) const { return isMilkPosition(t) && HasFlag(tooth(t).st, Piena); }

bool ToothChart::isInMilkMode() const {
    for (const ToothRecord& r : m_teeth)
        if (HasFlag(r.st, Navpar)) return true;
    return false;
}

bool ToothChart::clickTop(int t, QPoint point, const ToolChoice& tool) {
    const int s = SurfaceAt(point);
    if (s < 0) return false;
    ToothRecord& r = tooth(t);
    const ToothRecord before = r;
    const ToolInfo& info = InfoOf(tool.tool);
    switch (info.kind) {
    case ToolClass::Fracture:
        r.kf[s] = r.kf[s].isEmpty() ? QStringLiteral("fract") : QString();
        break;
    case ToolClass::Surface: {
        const QString code = tool.tool == Tool::Crown ? tool.crownCode : QString::fromLatin1(info.value);
        if (code.isEmpty()) break;
        if (r.kz[s].isEmpty()) {
            if (tool.tool == Tool::Crown || tool.tool == Tool::Radix)
                r.kz.fill(code);
            else
                r.kz[s] = code;
        } else if (std::any_of(r.kz.begin(), r.kz.end(), CoversWholeCrown)) {
            r.kz.fill(QString());
        } else {
            r.kz[s].clear();
        }
        break;
    }
    case ToolClass::Whole:
        applyWholeTooth(t, tool);
        break;
    default:
        break;
    }
    return r != before;
}

int ToothChart::rootAt(int t, int pictureWidth, int x) {
    const int roots = rootCount(t);
    const int segment = pictureWidth / roots;
    const int root = x < segment ? 0 : x < 2 * segment ? 1 : 2;
    // A two-rooted tooth of odd width has a last pixel column at 2 * segment.
    return std::min(root, roots - 1);
}

bool ToothChart::clickSide(int t, int pictureWidth, int x, const ToolChoice& tool) {
    ToothRecord& r = tooth(t);
    const ToothRecord before = r;
    const ToolInfo& info = InfoOf(tool.tool);
    if (info.kind == ToolClass::Whole) {
        applyWholeTooth(t, tool);
    } else if (info.kind == ToolClass::Root) {
        int root = 0;
        if (tool.tool == Tool::Furcation) {
            if (!isMultiRooted(t)) return false;
        } else {
            root = rootAt(t, pictureWidth, x);
        }
        if (tool.tool == Tool::CanalFilling) {
            if (!HasFlag(r.sk[root], KanPild)) addFlag(r.sk[root], KanPild);
            if (++r.el[root] >= 3) {
                removeFlag(r.sk[root], KanPild);
                r.el[root] = -1;
            }
        } else {
            toggleFlag(r.sk[root], QString::fromLatin1(info.value));
        }
    }
    return r != before;
}

bool ToothChart::applyWholeTooth(int t, const ToolChoice& tool) {
    if (tool.tool == Tool::MilkTooth && !isMilkPosition(t)) return false;
    toggleFlag(tooth(t).st, QString::fromLatin1(InfoOf(tool.tool).value));
    return true;
}

void ToothChart::setMilkMode(bool on) {
    if (on) {
        // Switched on for a chart kept in milk mode, it still cannot tell the hand-marked milk teeth.
        const bool unknown = !m_milkAddedKnown && isInMilkMode();
        for (int t = 1; t <= PositionCount; ++t) {
            QString& st = tooth(t).st;
            if (isMilkPosition(t)) {
                if (!HasFlag(st, Piena)) {
                    addFlag(st, Piena);
                    m_milkAdded.insert(t);
                }
            } else if (!HasFlag(st, Navpar)) {
                addFlag(st, Navpar);
            }
        }
        m_milkAddedKnown = !unknown;
        return;
    }
    // Read in milk mode, the chart cannot tell the milk teeth marked by hand from those the mode
    // added: every one goes.
    const bool removeEveryMilkTooth = !m_milkAddedKnown && isInMilkMode();
    for (int t = 1; t <= PositionCount; ++t) {
        QString& st = tooth(t).st;
        removeFlag(st, Navpar);
        if (removeEveryMilkTooth || m_milkAdded.contains(t)) removeFlag(st, Piena);
    }
    m_milkAdded.clear();
    m_milkAddedKnown = true;
}

}  // namespace dentalchart
