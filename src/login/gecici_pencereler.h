#pragma once
// Temporary stand-ins for two windows that come later: the customer selection of representatives and
// the update downloader. They keep the login flow complete and testable until then.

class QWidget;
class TSonucBilgisi;
namespace tarvik {
class RemoteConnection;
}

// Lists the accounts the representative may work for (CariAra) and writes the chosen one into `bilgi`
// (CARINO, carikod, CariAdi). Returns 1 when an account was chosen, 0 otherwise.
int geciciCariSecimi(QWidget *owner, tarvik::RemoteConnection &bag, TSonucBilgisi &bilgi);

// Says that another program version is due and ends the program (exit code 0).
void geciciGuncelleme(QWidget *owner, int version);
