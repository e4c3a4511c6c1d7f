#pragma once

// Local environment: the identity of this computer as the server knows it, a few facts about the
// machine and the user, the per-user folders, and the two web address prefixes. Headless (Core and
// Network only).
//
// Every function may be called from the main thread and from a worker at the same time: they keep no
// state of their own. What they read of the machine comes through tarvik::EnvironmentSources, which
// tests replace (before calling anything) to feed the rules with exact inputs.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <iterator>

namespace tarvik {

namespace config {

// Two drives of the distributor's own machines are registered on the server under one identity
// instead of their serial numbers. Compared exactly (case-sensitive) after blanks are removed.
inline constexpr char16_t kKayitliDiskSeri1[] = u"WDZ3K2P9T71A0C4";
inline constexpr char16_t kKayitliDiskSeri2[] = u"S4EVNX0N812745J";
inline constexpr char16_t kSabitBilgisayarId[] = u"100200300400";

static_assert(std::size(kKayitliDiskSeri1) == 15 + 1 && std::size(kKayitliDiskSeri2) == 15 + 1);
static_assert(std::size(kSabitBilgisayarId) == 12 + 1);

} // namespace config

// Where the environment functions get their facts. An empty member means "the real one".
struct EnvironmentSources
{
    // Serial number of the first physical drive, as the system reports it (blanks kept). May throw.
    std::function<QString()> diskSerial;
    // Hardware addresses of the network adapters in adapter order, loopback excluded; 6 bytes each
    // (entries of another length are passed over).
    std::function<QList<QByteArray>()> adapterAddresses;
    // The local host name (may be a dotted name; the computer name is its first label).
    std::function<QString()> hostName;
    // Name of the user running the process.
    std::function<QString()> userName;
    // IPv4 addresses of a host name in dotted form, in resolver order; empty when it does not resolve.
    std::function<QStringList(const QString &hostName)> resolveIPv4;
    // The user's documents folder; empty when unknown.
    std::function<QString()> documentsFolder;
    // The per-user folder the program's own folder goes into; empty when unknown.
    std::function<QString()> dataFolder;
};

// The real sources of this platform. On Linux: the first non-removable block device that has a
// device behind it (sysfs), QNetworkInterface (adapters with a physical device first), the host
// name, the passwd entry of the effective user (else USER / LOGNAME), getaddrinfo, the XDG
// documents folder and the XDG config home (~/.config).
EnvironmentSources systemEnvironmentSources();

// Installs the sources and returns the previous ones. Empty members fall back to the real source.
EnvironmentSources setEnvironmentSources(EnvironmentSources sources);

// "http://" + server host (IPv6 literals in brackets) + path, for the host of defaultServer(); with
// TARVIK_WEB=host:port set, "http://" + that + path.
QString serverWebAddress(const QString &path);

} // namespace tarvik

// Picture address prefix: "http://<server>/resimgoster.ashx?id=", followed by the stock number.
extern QString ResimAdresi;
// Web address prefix of the server's pages: "http://<server>/".
extern QString WebAdresi;

// Assigns both prefixes for the server address (the compiled-in one, or the host of TARVIK_SERVER).
// A prefix that already has its value is not written, so a reader on another thread never races
// with the repeated assignment the login makes.
void AdresleriAyarla();

// Address of the first adapter whose address is not all zeros, as six two-digit upper-case
// hexadecimal numbers joined by "-" ("0A-1B-2C-3D-4E-5F"). "00-00-00-00-00-00" when every adapter
// reports zeros, empty when there is none.
QString MacAdresiAl();

// Serial number of the first physical drive in upper case, blanks kept; empty when there is none.
QString DiskSeriNoAl();

// The machine identity: the drive serial, else the adapter address, trimmed, with every space
// removed; the two registered serials give the fixed identity.
QString BilgisayarIdAl();

// The computer name; empty when unknown or longer than 15 characters.
QString BilgisayarAdiAl();

// The user name; empty when unknown or longer than 15 characters.
QString KullaniciAdiAl();

// First IPv4 address of the local host name; "127.0.0.1" when it does not resolve or has none.
QString YerelIpAl();

// The user's documents folder ("/" separators), or empty.
QString BelgelerKlasoruAl();

// The program's per-user folder: <config home>/tarvik, created (one level) when missing. Empty when
// the config home is unknown.
QString AyarKlasoruAl();
