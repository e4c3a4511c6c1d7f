#pragma once

// The program's message box, as the rest of the program sees it. Every message box goes through
// MesajGoster, which hands it to the installed presenter: the widgets layer installs the real dialog,
// tests install a scripted one that records what was shown and answers without blocking. Headless.

#include <QFlags>
#include <QString>

#include <functional>

// Kinds, in the order of their numbers.
enum class MesajTuru { Uyari = 0, Hata = 1, Bilgi = 2, Soru = 3 };

// Buttons of a box (a set) and the default-button argument (one of them).
enum class MesajDugmesi {
    Evet = 0x001,        // Yes
    Hayir = 0x002,       // No
    Tamam = 0x004,       // OK
    Vazgec = 0x008,      // Cancel
    Iptal = 0x010,       // Abort
    Tekrar = 0x020,      // Retry
    Atla = 0x040,        // Ignore
    TumuneEvet = 0x080,  // Yes to all
    TumuneHayir = 0x100, // No to all
    Yardim = 0x200,      // Help
};
Q_DECLARE_FLAGS(MesajDugmeleri, MesajDugmesi)
Q_DECLARE_OPERATORS_FOR_FLAGS(MesajDugmeleri)

// Modal results.
inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;
inline constexpr int mrAbort = 3;
inline constexpr int mrRetry = 4;
inline constexpr int mrIgnore = 5;
inline constexpr int mrYes = 6;
inline constexpr int mrNo = 7;
inline constexpr int mrAll = 8;
inline constexpr int mrNoToAll = 9;
inline constexpr int mrYesToAll = 10;
inline constexpr int mrHelp = 11;

namespace tarvik {

struct MessageRequest
{
    QString text;
    MesajTuru kind = MesajTuru::Bilgi;
    MesajDugmeleri buttons;
    MesajDugmesi defaultButton = MesajDugmesi::Tamam;
};

// Shows one box and returns its modal result. Called on the main thread only.
using MessagePresenter = std::function<int(const MessageRequest &)>;

// Installs the presenter; returns the one it replaces. Without one, boxes are written to stderr and
// answered with the result of the first focusable button (OK, else Yes, else Retry).
MessagePresenter setMessagePresenter(MessagePresenter presenter);

// The title of a kind: "Uyarı", "Hata", "Bilgi", "Soru".
QString mesajBasligi(MesajTuru kind);

// The application's one error display: an error box with the message of an error nobody caught.
void showApplicationError(const QString &message);

} // namespace tarvik

// The program's message box: text, kind, buttons, default button, help context (unused). Returns the
// modal result.
int MesajGoster(const QString &text, MesajTuru kind, MesajDugmeleri buttons,
                MesajDugmesi defaultButton, int helpContext = 0);
