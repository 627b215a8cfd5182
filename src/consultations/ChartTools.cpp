#include "consultations/ChartTools.h"

namespace dentalchart {

const std::array<ToolInfo, ToolCount>& Tools() {
    using K = ToolClass;
    static const std::array<ToolInfo, ToolCount> tools{{
        {Tool::TemporaryFilling, "KPlp", K::Surface, "Plp", false},
        {Tool::Extracted, "SEx", K::Whole, "Ex/", false},
        {Tool::RootFracture, "Rsaknes_frakt", K::Whole, "saknes_frakt/", false},
        {Tool::Resection, "Srezekc", K::Whole, "rezekc/", true},
        {Tool::Perforation, "", K::Disabled, "", false},
        {Tool::Furcation, "RFU", K::Root, "FU/", true},
        {Tool::GumRecession, "", K::Disabled, "", false},
        {Tool::PocketMark, "", K::Disabled, "", false},
        {Tool::PartlyErupted, "Sdal_izsk", K::Whole, "dal_izsk/", false},
        {Tool::Supraeruption, "Ssupraerupcija", K::Whole, "supraerupcija/", false},
        {Tool::Migration, "Smig", K::Whole, "mig/", false},
        {Tool::AmalgamFilling, "KPla", K::Surface, "Pla", false},
        {Tool::Crown, "KKronis", K::Surface, "", false},
        {Tool::Fracture, "Ffract", K::Fracture, "fract", false},
        {Tool::Onlay, "KOnl", K::Surface, "Onl", true},
        {Tool::Veneer, "KVen", K::Surface, "Ven", true},
        {Tool::Radix, "KRad", K::Surface, "rad", false},
        {Tool::RootInlay, "RSL", K::Root, "SL/", true},
        {Tool::Post, "RTP", K::Root, "TP/", true},
        {Tool::CanalFilling, "Rkan_pild", K::Root, "kan_pild/", true},
        {Tool::Unerupted, "Sneizsk", K::Whole, "neizsk/", false},
        {Tool::Periapical, "RPI", K::Root, "PI/", false},
        {Tool::UnformedRoot, "Rnens", K::Root, "nens/", false},
        {Tool::Resorption, "Rrezorb", K::Root, "rezorb/", false},
        {Tool::Occlusion, "", K::Disabled, "", false},
        {Tool::Retained, "Sretin", K::Whole, "retin/", false},
        {Tool::SecondaryCariesComposite, "KCSk", K::Surface, "CSk", false},
        {Tool::SecondaryCariesAmalgam, "KCS", K::Surface, "CS", false},
        {Tool::PrimaryCaries, "KC", K::Surface, "C", false},
        {Tool::NonCariousDefect, "Knek_def", K::Surface, "nek_def", false},
        {Tool::CompositeFilling, "KPlk", K::Surface, "Plk", false},
        {Tool::Rotation, "Srot", K::Whole, "rot/", false},
        {Tool::MilkTooth, "Spiena", K::Whole, "piena/", false},
    }};
    return tools;
}

const ToolInfo& InfoOf(Tool tool) {
    static const ToolInfo none{Tool::None, "", ToolClass::Disabled, "", false};
    for (const ToolInfo& info : Tools())
        if (info.tool == tool) return info;
    return none;
}

const std::array<QString, 7>& CrownKinds() {
    static const std::array<QString, 7> kinds{
        QStringLiteral("MK_K"), QStringLiteral("MPL_K"), QStringLiteral("St_K"), QStringLiteral("Z_K"),
        QStringLiteral("Pag_K"), QStringLiteral("BM_K"), QStringLiteral("*starpd/blok")};
    return kinds;
}

QString CrownCaption(const QString& kind) { return QStringLiteral("Kronis\n(") + kind + u')'; }

QString CrownCodeFromCaption(const QString& caption) {
    const qsizetype open = caption.indexOf(u'(');
    const qsizetype close = caption.indexOf(u')', open + 1);
    if (open < 0 || close < 0) return {};
    QString code = caption.mid(open + 1, close - open - 1);
    if (code == QLatin1String("*starpd/blok")) code = QStringLiteral("starpdblok");
    return code;
}

bool CoversWholeCrown(const QString& code) {
    if (code == QLatin1String("rad") || code == QLatin1String("starpdblok")) return true;
    for (const QString& kind : CrownKinds())
        if (code == kind) return true;
    return false;
}

}  // namespace dentalchart
