#pragma once
#include <QString>

#include <array>

// The tools of the dental chart's palette and what each one writes into a tooth record.
namespace dentalchart {

// In the palette's order.
enum class Tool {
    None,
    TemporaryFilling,    // Plombe pagaidu
    Extracted,           // Ekstrahēts
    RootFracture,        // Saknes lūzums
    Resection,           // Rezekcija
    Perforation,         // Perforācija (never enabled)
    Furcation,           // Furkācijas iesaistījums
    GumRecession,        // Smaganu recesija (never enabled)
    PocketMark,          // Kabatu atzīme (never enabled)
    PartlyErupted,       // Daļēji izšķīlies
    Supraeruption,       // Supraerupcija
    Migration,           // Migrācija
    AmalgamFilling,      // Plombe amalgāma
    Crown,               // Kronis, kind from its pop-up
    Fracture,            // Lūzums
    Onlay,               // Onleja
    Veneer,              // Venīrs
    Radix,               // Radiks
    RootInlay,           // Sakņu inleja
    Post,                // i/p tapa
    CanalFilling,        // Kanāla pildījums
    Unerupted,           // Neizšķīlies
    Periapical,          // Periapikālās izmaiņas
    UnformedRoot,        // Nenoformēta sakne
    Resorption,          // Rezorbcija
    Occlusion,           // Sasvere (never enabled)
    Retained,            // Retinēts
    SecondaryCariesComposite,  // Kariess sekundārais (kompozīta)
    SecondaryCariesAmalgam,    // Kariess sekundārais (amalgāma)
    PrimaryCaries,             // Kariess primārais
    NonCariousDefect,          // Nekariozs defekts
    CompositeFilling,          // Plombe kompozīta
    Rotation,                  // Rotācija
    MilkTooth,                 // Piena zobs / Pamata zobs
};

constexpr int ToolCount = 33;

// What a tool acts on: 'K' crown surface, 'S' whole tooth, 'R' root, 'F' fracture.
enum class ToolClass : char { Surface = 'K', Whole = 'S', Root = 'R', Fracture = 'F', Disabled = '-' };

struct ToolInfo {
    Tool tool;
    // The button's hint: the class letter and the code ("KPlp", "SEx", "RFU"); empty for the
    // buttons that are never enabled.
    const char* hint;
    ToolClass kind;
    // The value the tool writes: the surface code, the whole-tooth flag or the root flag
    // (flags with their closing '/').
    const char* value;
    bool disabledInMilkMode;
};

// The 33 tools in the palette's order.
const std::array<ToolInfo, ToolCount>& Tools();
const ToolInfo& InfoOf(Tool tool);

// The tool that is down and, for the crown, the kind chosen in its pop-up.
struct ToolChoice {
    Tool tool = Tool::None;
    QString crownCode = QStringLiteral("MK_K");
};

// The crown kinds of the pop-up: the code shown on the button; "*starpd/blok" for the bridge
// pontic or blocked tooth.
const std::array<QString, 7>& CrownKinds();
// "Kronis\n(" + kind + ")".
QString CrownCaption(const QString& kind);
// The code a crown caption stands for: the text between '(' and ')', with "*starpd/blok" written
// as "starpdblok".
QString CrownCodeFromCaption(const QString& caption);
// True for the codes that cover the whole crown: "rad" and the crown kinds.
bool CoversWholeCrown(const QString& code);

}  // namespace dentalchart
