#pragma once
// The program's pictures, drawn by code: the firm's mark, the tab icons, the stock status icons of the
// legend and the lists, and the menu icon.

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace tarvik {

enum class TabIcon { Stok, Sepet, Onceki, Ekstre, Yeni, Kampanya, Duyuru, Bakiye };

QIcon tabIcon(TabIcon which, int side = 32);

// The stock status picture of value 0…5 (Yok, Var, Telefon Açınız, Yolda, Özel Sipariş, Tedarik
// Sürecinde); a null image for any other value.
QImage durumIcon(int durum, int side = 24);

// The flag pictures of the new and campaign columns: the first (not set, a faint ring) and the second
// (set, an orange badge with a tick).
QImage flagIcon(bool set, int side = 24);

// The picture flag of the stock list: a small camera.
QImage pictureIcon(int side = 24);

// The firm's mark: an orange cog around a white T on dark blue.
QPixmap firmLogo(int side);

// Three bars: the general menu.
QIcon menuIcon(int side = 48);

// A magnifier, for the search bar.
QPixmap searchPicture(int side);

} // namespace tarvik
