#pragma once
#include <functional>

class QWidget;

namespace widgets {

// What closing a card with changes comes to.
enum class CloseAnswer {
    Close,  // nothing changed, or the user chose not to save: close without saving
    Saved,  // saved (the save closed the card itself)
    Stay,   // the user cancelled, or the save was refused: the card stays open as typed
};

// Asked when the user closes a card ("Aizvērt", Esc, the window's close box). Without changes the
// card simply closes. With changes: "Vai saglabāt izmaiņas ?" with Yes, No and Cancel; Yes runs
// the card's save (which shows its own refusals and closes the card when it succeeds).
CloseAnswer AskBeforeClosing(QWidget* card, bool changed, const std::function<bool()>& save);

}  // namespace widgets
