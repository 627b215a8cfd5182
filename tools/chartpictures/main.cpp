// Draws every picture the dental chart can ask for into the folder given on the command line
// (the build puts them into images/ beside the programs).
#include "ToothDrawing.h"

#include "consultations/ChartPictures.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSet>

#include <cstdio>

using namespace dentalchart;
using namespace chartpictures;

namespace {

class Writer {
public:
    explicit Writer(const QString& folder) : m_folder(folder) {}

    bool save(const QString& name, const QImage& image) {
        if (m_saved.contains(name)) return true;
        m_saved.insert(name);
        const QString path = m_folder.filePath(name);
        const QString dir = QFileInfo(path).absolutePath();
        if (!m_made.contains(dir)) {
            QDir().mkpath(dir);
            m_made.insert(dir);
        }
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            m_failed = true;
            return false;
        }
        ++m_count;
        return true;
    }
    int count() const { return m_count; }
    bool failed() const { return m_failed; }

private:
    QDir m_folder;
    QSet<QString> m_made;
    QSet<QString> m_saved;
    int m_count = 0;
    bool m_failed = false;
};

// "13" for the picture roots 0 and 2.
QString rootDigits(const std::vector<int>& roots) {
    QString digits;
    for (int root : roots) digits += QString::number(root + 1);
    return digits;
}

void sideViews(Writer& out, int n) {
    // Pictures of number n serve the left-half position n and its mirror partner.
    const int roots = ToothChart::rootCount(n);
    for (int view : {SideView1, SideView2}) {
        const ToothShape shape = MakeShape(layout::SideSize(n, view), GroupOf(n, false), roots, false);
        out.save(names::SideBase(n, view, false), SideBase(shape, view));

        for (int mask = 1; mask < (1 << roots); ++mask) {
            std::vector<int> list;
            for (int root = 0; root < roots; ++root)
                if (mask & (1 << root)) list.push_back(root);
            for (const QString& kind : {QStringLiteral("nens"), QStringLiteral("rezorb")})
                out.save(names::RootList(kind, n, view, rootDigits(list)), RootList(shape, view, kind, list));
        }

        QStringList prefixes = names::SurfacePrefixes();
        prefixes.append(QStringLiteral("fract_"));
        for (const QString& prefix : prefixes)
            for (int s = 0; s < SurfaceCount; ++s)
                if (names::SideShowsSurface(view, s))
                    out.save(names::SurfaceSide(prefix, s, n, view),
                             SideSurfaceMark(shape, view, s == 3 ? 1 : s, MarkOfPrefix(prefix)));

        for (int root = 0; root < roots; ++root) {
            for (const QString& flag : {QStringLiteral("PI"), QStringLiteral("SL"), QStringLiteral("TP")})
                out.save(names::RootMark(names::RootPrefix(flag), root, n, view), RootCondition(shape, view, flag, root, -1));
            for (int level = 0; level <= 2; ++level)
                out.save(names::RootMark(names::RootPrefix(QStringLiteral("kan_pild")), root, n, view, level),
                         RootCondition(shape, view, QStringLiteral("kan_pild"), root, level));
        }
        out.save(names::RootMark(names::RootPrefix(QStringLiteral("FU")), 0, n, view),
                 RootCondition(shape, view, QStringLiteral("FU"), 0, -1));

        for (const QString& flag : {QStringLiteral("rezekc"), QStringLiteral("saknes_frakt"), QStringLiteral("neizsk"),
                                   QStringLiteral("dal_izsk")})
            out.save(names::WholeTooth(flag, n, view), WholeTooth(shape, view, flag));
    }
}

void milkViews(Writer& out, int n) {
    for (int view : {SideView1, SideView2}) {
        const ToothShape shape = MakeShape(layout::MilkSideSize(n, view), GroupOf(n, true), ToothChart::rootCount(n), true);
        out.save(names::SideBase(n, view, true), SideBase(shape, view));
    }
}

void topViews(Writer& out) {
    out.save(names::TopBase(), TopBase());
    for (const QString& flag : {QStringLiteral("mig"), QStringLiteral("rot")}) out.save(names::TopMark(flag), TopMark(flag));
    for (const QString& prefix : names::SurfacePrefixes()) {
        for (int s = 0; s < SurfaceCount; ++s) {
            const Mark mark = MarkOfPrefix(prefix);
            out.save(names::SurfaceTop(prefix, s), mark == Mark::NonCariousDefect ? TopNonCariousDefect(s) : TopSurfaceMark(s, mark));
        }
    }
    for (int s = 0; s < 4; ++s) out.save(names::SurfaceTop(QStringLiteral("fract_"), s), TopSurfaceMark(s, Mark::Fracture));
}

void freeOverlays(Writer& out) {
    for (const QString& flag : {QStringLiteral("mig"), QStringLiteral("supraerupcija"), QStringLiteral("rot")})
        for (int view : {SideView1, SideView2}) out.save(names::FreeOverlay(flag, view), FreeOverlay(flag, view));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    Writer out(QString::fromLocal8Bit(argv[1]));
    topViews(out);
    freeOverlays(out);
    for (int n : layout::PictureNumbers()) sideViews(out, n);
    for (int n : layout::MilkPictureNumbers()) milkViews(out, n);
    if (out.failed()) return 1;
    std::printf("%d chart pictures in %s\n", out.count(), argv[1]);
    return 0;
}
