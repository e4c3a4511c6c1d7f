#pragma once
// The program's pictures, drawn by code: the firm's mark, the tab icons, the stock status icons of the
// legend and the lists, and the menu icon.

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include "gridcolumn.h"

#include <vector>

namespace tarvik {

enum class TabIcon { Stok, Sepet, Onceki, Ekstre, Yeni, Kampanya, Duyuru, Bakiye };

QIcon tabIcon(TabIcon which, int side = 32);

// The stock status picture of value 0…5 (Yok, Var, Telefon Açınız, Yolda, Özel Sipariş, Tedarik
// Sürecinde); a null image for any other value.
QImage durumIcon(int durum, int side = 24);

// The set flag of the lists' yes/no columns (new, campaign): a red pennant. An unset flag draws nothing.
QImage bayrakIcon(int side = 24);
// The picture flag of a stock that has a picture: a small framed landscape.
QImage resimIcon(int side = 24);

// The value lists of the grids' icon columns: the stock status (0…5 with their names), the yes/no flags
// (1 "Evet" shows the flag, 0 "Hayır" nothing) and the picture flag (1 "Var", 0 "Yok").
std::vector<ValueImage> durumListesi();
std::vector<ValueImage> bayrakListesi();
std::vector<ValueImage> resimListesi();

// The firm's mark: an orange cog around a white T on dark blue.
QPixmap firmLogo(int side);

// Three bars: the general menu.
QIcon menuIcon(int side = 48);

// A magnifier, for the search bar.
QPixmap searchPicture(int side);

} // namespace tarvik
