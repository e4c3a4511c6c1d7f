// Tables on the wire (column-major "table" JSON) and frames.

#include "errors.h"
#include "frame.h"
#include "table_json.h"
#include "test_support.h"

#include <QDate>
#include <QDateTime>

#include <gtest/gtest.h>

#include <cmath>

using namespace tarvik;

TEST(TableJson, SmallStockTableHasTheColumnMajorForm)
{
    DataTable t;
    t.addColumn(QStringLiteral("STOKNO"), DbxType::Int32);
    t.addColumn(QStringLiteral("ADI"), DbxType::WideString, 40);
    t.addColumn(QStringLiteral("FIYAT"), DbxType::Double);
    t.addColumn(QStringLiteral("VAR"), DbxType::Boolean);
    t.appendRow({101, QStringLiteral("FREN BALATASI ÖN"), 43.5, true});
    t.appendRow({102, QStringLiteral("YAĞ FİLTRESİ"), QVariant(), false});
    EXPECT_EQ(str(tableToJson(t)), str(readTestData("stock_table.json")));
    EXPECT_EQ(tableFromJson(view(readTestData("stock_table.json"))), t);
}

TEST(TableJson, EditedTextCellsKeepTheirNeighbours)
{
    DataTable t;
    t.addColumn(QStringLiteral("ADI"), DbxType::WideString);
    t.addColumn(QStringLiteral("ADET"), DbxType::Double);
    for (const char *name : {"BUJİ", "", "FAR AMPULÜ"})
        t.appendRow({QString::fromUtf8(name), 1.5});
    t.setValue(0, 0, QStringLiteral("ATEŞLEME BUJİSİ"));
    t.setValue(1, 0, QVariant());
    t.setValue(2, 1, 3);
    EXPECT_EQ(t.text(0, 0), u"ATEŞLEME BUJİSİ");
    EXPECT_TRUE(t.isNull(1, 0));
    EXPECT_EQ(t.value(2, 0).toString(), QStringLiteral("FAR AMPULÜ"));
    EXPECT_EQ(t.real(2, 1), 3.0);
    EXPECT_EQ(tableFromJson(view(tableToJson(t))), t);
}

TEST(TableJson, EveryCellTypeAndNullRoundTrips)
{
    DataTable inner;
    inner.addColumn(QStringLiteral("X"), DbxType::Int32);
    inner.appendRow({7});

    DataTable t;
    t.addColumn(QStringLiteral("S"), DbxType::WideString);
    t.addColumn(QStringLiteral("I"), DbxType::Int32);
    t.addColumn(QStringLiteral("L"), DbxType::Int64);
    t.addColumn(QStringLiteral("D"), DbxType::Double);
    t.addColumn(QStringLiteral("B"), DbxType::Boolean);
    t.addColumn(QStringLiteral("TARIH"), DbxType::Date);
    t.addColumn(QStringLiteral("ZAMAN"), DbxType::DateTime);
    t.addColumn(QStringLiteral("RESIM"), DbxType::BinaryBlob);
    t.addColumn(QStringLiteral("J"), DbxType::JsonValue);
    t.addColumn(QStringLiteral("T"), DbxType::Table);
    t.appendRow({QStringLiteral("ığüşöçİĞÜŞÖÇ \"tırnak\" \\ \t 😀"), -2147483647 - 1, qlonglong(9007199254740993LL), -0.000123,
                 true, QDate(2026, 12, 11), QDateTime(QDate(2026, 12, 11), QTime(14, 5, 9, 123)),
                 QByteArray("\x00\xFF\xD8 binary", 10), QByteArray(R"({"a":[1,2,{"b":null}]})"), QVariant::fromValue(inner)});
    t.appendRow({});
    const DataTable back = tableFromJson(view(tableToJson(t)));
    EXPECT_EQ(back.rowCount(), 2);
    EXPECT_EQ(back, t);
    EXPECT_FALSE(back.value(1, 3).isValid());
    EXPECT_EQ(back.indexOf(u"resim"), 7);
}

TEST(TableJson, MalformedTablesAreRefused)
{
    const struct
    {
        const char *name;
        std::string json;
        const char *message;
    } cases[] = {
        {"no column list", R"({"A":[1]})", "no \"table\""},
        {"lengths differ", R"({"table":[["A",6],["B",6]],"A":[1,2],"B":[1]})", "has 1 values"},
        {"column values missing", R"({"table":[["A",6]]})", "has no values"},
        {"duplicate names", R"({"table":[["A",6],["a",6]],"A":[1],"a":[1]})", "used twice"},
        {"reserved name", R"({"table":[["table",6]],"table":[1]})", ""},
        {"unknown type", R"({"table":[["A",99]],"A":[1]})", "unknown type 99"},
        {"callback column", R"({"table":[["A",38]],"A":[null]})", "unknown type"},
        {"Int32 out of range", R"({"table":[["A",6]],"A":[4294967296]})", "32-bit"},
        {"text in a number column", R"({"table":[["A",7]],"A":["1,5"]})", "A: expected a number"},
        {"bad date", R"({"table":[["A",2]],"A":["2026-13-40"]})", "not a date"},
        {"bad base64", R"({"table":[["A",33]],"A":["@@@"]})", "base64"},
        {"description too short", R"({"table":[["A"]],"A":[1]})", "name and a type"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            tableFromJson(c.json);
            ADD_FAILURE() << "accepted";
        } catch (const ConversionError &e) {
            EXPECT_NE(e.message().indexOf(QString::fromUtf8(c.message)), -1) << e.message().toStdString();
        }
    }
}

TEST(TableJson, ColumnAndRowLimitsAreEnforcedOnBothSides)
{
    DataTable twice;
    twice.addColumn(QStringLiteral("ADI"), DbxType::WideString);
    twice.addColumn(QStringLiteral("adi"), DbxType::WideString);
    EXPECT_THROW(tableToJson(twice), ConversionError); // the reader would refuse it too

    DataTable wide;
    for (int c = 0; c <= kMaxTableColumns; ++c)
        wide.addColumn(QStringLiteral("C%1").arg(c), DbxType::Int32);
    EXPECT_THROW(tableToJson(wide), ConversionError);

    std::string json = R"({"table":[)";
    for (int c = 0; c <= kMaxTableColumns; ++c)
        json += (c ? ",[\"C" : "[\"C") + std::to_string(c) + "\",6]";
    json += "]}";
    EXPECT_THROW(tableFromJson(json), ConversionError);

    std::string tall = R"({"table":[["A",4]],"A":[)";
    tall.reserve(tall.size() + 6 * (kMaxTableRows + 1));
    for (int r = 0; r <= kMaxTableRows; ++r)
        tall += r ? ",null" : "null";
    tall += "]}";
    try {
        tableFromJson(tall);
        ADD_FAILURE() << "accepted";
    } catch (const ConversionError &e) {
        EXPECT_NE(e.message().indexOf(QStringLiteral("rows exceed the limit")), -1) << e.message().toStdString();
    }
}

// ---- frames ----

namespace {

QByteArray frame(FrameKind kind, const QByteArray &payload)
{
    return frameHeader(kind, payload.size()) + payload;
}

} // namespace

TEST(Frames, DecodeTheSameWhateverTheByteSplit)
{
    const QByteArray stream = frame(FrameKind::Json, R"({"op":"hello"})") + frame(FrameKind::Binary, QByteArray(3000, 'x'))
                              + frame(FrameKind::Json, "{}") + frame(FrameKind::Binary, {});
    for (std::size_t step : {std::size_t(1), std::size_t(2), std::size_t(7), std::size_t(4096)}) {
        SCOPED_TRACE(step);
        FrameDecoder d;
        std::vector<Frame> frames;
        std::size_t pos = 0;
        while (pos < static_cast<std::size_t>(stream.size())) {
            const std::size_t n = std::min(step, static_cast<std::size_t>(stream.size()) - pos);
            std::size_t used = 0;
            while (used < n) {
                used += d.feed(stream.constData() + pos + used, n - used);
                while (auto f = d.take())
                    frames.push_back(std::move(*f));
            }
            pos += n;
        }
        ASSERT_EQ(frames.size(), 4u);
        EXPECT_EQ(frames[0].payload, QByteArray(R"({"op":"hello"})"));
        EXPECT_EQ(frames[1].kind, FrameKind::Binary);
        EXPECT_EQ(frames[1].payload.size(), 3000);
        EXPECT_EQ(frames[2].payload, QByteArray("{}"));
        EXPECT_TRUE(frames[3].payload.isEmpty());
        EXPECT_TRUE(d.idle());
    }
}

TEST(Frames, OversizedAndUnknownFramesAreRefusedBeforeBuffering)
{
    FrameDecoder d(1024);
    const QByteArray huge("\xFF\xFF\xFF\xFF\x4A", 5);
    try {
        d.feed(huge.constData(), 5);
        ADD_FAILURE() << "accepted";
    } catch (const ProtocolError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("frame of 4294967295 bytes exceeds the limit of 1024 bytes"));
    }
    FrameDecoder d2;
    const QByteArray unknown("\x00\x00\x00\x01\x58x", 6);
    EXPECT_THROW(d2.feed(unknown.constData(), 6), ProtocolError);
    EXPECT_THROW(frameHeader(FrameKind::Json, kMaxFramePayload + 1), ProtocolError);
    EXPECT_NO_THROW(frameHeader(FrameKind::Json, kMaxFramePayload));
}

// Found by fuzzing: values that must come back exactly as they went.
TEST(TableJson, DoublesAndTimesKeepTheirValueThroughTheWire)
{
    DataTable t;
    t.addColumn(QStringLiteral("D"), DbxType::Double);
    for (double d : {-0.0, 18.0, 18446744073709551616.0, -1.2345678901234567e19, 1e21, 5e-324, 0.1})
        t.appendRow({d});
    const QByteArray json = tableToJson(t);
    EXPECT_NE(json.indexOf("[-0.0,18.0,18446744073709551616.0,"), -1) << json.constData();
    const DataTable back = tableFromJson(view(json));
    for (int r = 0; r < t.rowCount(); ++r) {
        EXPECT_EQ(back.real(r, 0), t.real(r, 0)) << r;
        EXPECT_EQ(std::signbit(back.real(r, 0)), std::signbit(t.real(r, 0))) << r;
    }

    const DataTable zoned = tableFromJson(R"({"table":[["DT",11]],"DT":["2024-01-01T00:00:00+05:00"]})");
    const DataTable again = tableFromJson(view(tableToJson(zoned)));
    EXPECT_EQ(again.value(0, 0).toDateTime().toMSecsSinceEpoch(),
              QDateTime(QDate(2023, 12, 31), QTime(19, 0), Qt::UTC).toMSecsSinceEpoch());
}
