#pragma once
#include "reports/TextTemplate.h"

#include <QLineF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QString>
#include <QVector>
#include <optional>

namespace reports {

// Every length of a layout is in millimetres, measured from the top-left corner of the band the
// object belongs to; font sizes are in points.

struct TextItem {
    QRectF rect;
    TextTemplate text;
    QString fontFamily;
    double fontSize = 0;
    bool bold = false;
    bool italic = false;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
    // Wrapped at the item's width; the item and its band grow downwards to hold every line.
    bool wrap = false;
    double frameWidth = 0;  // a frame around the item when > 0
    QString csvTitle;       // column title of the CSV export (master band only)
};

struct LineItem {
    QLineF line;
    double width = 0.2;
};

struct FrameItem {
    QRectF rect;
    double width = 0.2;
};

struct Band {
    // Declared height; a band with wrapping text may grow beyond it, except the page header and
    // page footer, which keep it on every page.
    double height = 0;
    QVector<TextItem> texts;
    QVector<LineItem> lines;
    QVector<FrameItem> frames;
};

struct GroupBands {
    QString field;  // rows are grouped while this field (or named value) keeps its value
    bool newPage = false;  // every group after the first starts on a new page
    std::optional<Band> header;
    std::optional<Band> footer;
};

// One report layout. Bands are printed in this order: the title on the first page, the page
// header at the top of every page, for each row the group header when the group starts, the
// master band, the group footer when the group ends; the summary after the last row; the page
// footer at the bottom of every page.
struct ReportLayout {
    QString name;
    QPageSize::PageSizeId paper = QPageSize::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins{10, 10, 10, 10};
    QString fontFamily = QStringLiteral("DejaVu Sans");
    double fontSize = 9;

    std::optional<Band> title;
    std::optional<Band> pageHeader;
    std::optional<GroupBands> group;
    std::optional<Band> masterData;
    std::optional<Band> summary;
    std::optional<Band> pageFooter;

    QPageLayout pageLayout() const;
    // The printable area inside the margins, in millimetres.
    QSizeF contentSize() const;

    // Reads a layout file; `source` names it in error messages. Throws ReportError.
    static ReportLayout fromXml(const QByteArray& xml, const QString& source);
    // A layout by file path, or by name from the layouts built into the program
    // (":/reports/<name>.xml"). Throws ReportError.
    static ReportLayout load(const QString& nameOrPath);
};

}  // namespace reports
