#include "platform/plist.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>

#include "tests/support/volume.h"

namespace vendrel::platform::plist {
namespace {

using namespace std::chrono;
using test::TempVolume;

Date dateAt(int64_t unixSeconds) {
    return Date{system_clock::time_point(seconds(unixSeconds))};
}

std::string repeat(std::string_view s, size_t n) {
    std::string out;
    out.reserve(s.size() * n);
    for (size_t i = 0; i < n; ++i)
        out += s;
    return out;
}

// A binary list assembled object by object, so tests can build what no writer would:
// cycles, shared subtrees, bad offsets. Objects are encoded bytes; `refs` in them must use
// `refSize` bytes. Offsets are 4 bytes wide.
struct RawBinary {
    std::vector<std::string> objects;
    uint64_t top = 0;
    unsigned refSize = 1;
    std::optional<uint64_t> objectCountOverride;
    std::optional<uint64_t> tableOffsetOverride;
    // Places an object inside another: {object, host object, bytes into the host}. The
    // object's own bytes are then not written.
    struct Overlap {
        size_t object, host, delta;
    };
    std::vector<Overlap> overlaps;

    static std::string bigEndian(uint64_t v, unsigned size) {
        std::string out(size, '\0');
        for (unsigned i = 0; i < size; ++i)
            out[size - 1 - i] = static_cast<char>((v >> (8 * i)) & 0xFF);
        return out;
    }
    std::string ref(uint64_t index) const { return bigEndian(index, refSize); }
    // An array (0xA) or dictionary (0xD) marker with its count.
    static std::string collection(unsigned kind, uint64_t count) {
        if (count < 15)
            return std::string(1, static_cast<char>((kind << 4) | count));
        return std::string(1, static_cast<char>((kind << 4) | 0x0F)) + "\x13" + bigEndian(count, 8);
    }
    static std::string ascii(std::string_view s) {
        return collection(0x5, s.size()) + std::string(s);
    }

    std::string bytes() const {
        std::string out = "bplist00";
        std::vector<uint64_t> offsets;
        for (size_t i = 0; i < objects.size(); ++i) {
            offsets.push_back(out.size());
            const bool placed = std::any_of(overlaps.begin(), overlaps.end(),
                                            [&](const Overlap& o) { return o.object == i; });
            if (!placed)
                out += objects[i];
        }
        for (const Overlap& o : overlaps)
            offsets[o.object] = offsets[o.host] + o.delta;
        const uint64_t tableOffset = out.size();
        for (uint64_t off : offsets)
            out += bigEndian(off, 4);
        out += std::string(6, '\0');
        out += static_cast<char>(4);
        out += static_cast<char>(refSize);
        out += bigEndian(objectCountOverride.value_or(objects.size()), 8);
        out += bigEndian(top, 8);
        out += bigEndian(tableOffsetOverride.value_or(tableOffset), 8);
        return out;
    }
};

// `levels` arrays nested in one another, the innermost empty.
RawBinary nestedBinaryArrays(uint64_t levels) {
    RawBinary b;
    b.refSize = 4;
    for (uint64_t i = 0; i + 1 < levels; ++i)
        b.objects.push_back(RawBinary::collection(0xA, 1) + b.ref(i + 1));
    b.objects.push_back(RawBinary::collection(0xA, 0));
    return b;
}

std::string nestedXmlArrays(size_t levels) {
    return "<plist version=\"1.0\">" + repeat("<array>", levels) + repeat("</array>", levels) +
           "</plist>";
}

Value sampleValue() {
    Dictionary inner{{"empty array", Array{}},
                     {"empty dict", Dictionary{}},
                     {"list", Array{"a", int64_t{-1}, true, false}}};
    return Dictionary{
        {"CFBundleName", "Foo"},
        {"escapes", "a & b < c > d \"quoted\" 'single'"},
        {"whitespace", "  leading and trailing\t\n"},
        {"carriage return", "line\r\nnext\rlast"},
        {"control", std::string("bell\x07 escape\x1b del\x7f")},
        {"unicode", "Caf\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x8d\x8e"},
        {"not utf-8", std::string("\xff\xfe raw")},
        {"empty", ""},
        {"", "empty key"},
        {"key & <key>", "value"},
        {"int max", std::numeric_limits<int64_t>::max()},
        {"int min", std::numeric_limits<int64_t>::min()},
        {"zero", int64_t{0}},
        {"real", 0.1},
        {"real negative", -1234.5e-300},
        {"infinity", std::numeric_limits<double>::infinity()},
        {"minus infinity", -std::numeric_limits<double>::infinity()},
        {"date", dateAt(1700000000)},
        {"date before 1970", dateAt(-86400 * 365)},
        {"data", Data{std::string("\x00\x01\x02\xff binary", 11)}},
        {"data long", Data{repeat("0123456789", 30)}},
        {"data empty", Data{}},
        {"nested", inner},
    };
}

TEST(PlistXml, RoundTripsEveryValueType) {
    const Value original = sampleValue();
    const std::string xml = toXml(original);
    ASSERT_FALSE(xml.empty());
    const auto back = parse(xml);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, original);
    // Writing what was read gives the same bytes.
    EXPECT_EQ(toXml(*back), xml);
}

TEST(PlistXml, WritesThePlatformLayout) {
    const Value value = Array{Dictionary{{"AppName", "Foo & Bar"}, {"Publisher", "com.foo"}},
                              Dictionary{{"IsDirPath", "YES"}}, Array{}, true, int64_t{7}};
    EXPECT_EQ(toXml(value),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
              "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
              "<plist version=\"1.0\">\n"
              "<array>\n"
              "\t<dict>\n"
              "\t\t<key>AppName</key>\n"
              "\t\t<string>Foo &amp; Bar</string>\n"
              "\t\t<key>Publisher</key>\n"
              "\t\t<string>com.foo</string>\n"
              "\t</dict>\n"
              "\t<dict>\n"
              "\t\t<key>IsDirPath</key>\n"
              "\t\t<string>YES</string>\n"
              "\t</dict>\n"
              "\t<array/>\n"
              "\t<true/>\n"
              "\t<integer>7</integer>\n"
              "</array>\n"
              "</plist>\n");
}

TEST(PlistXml, NotANumberSurvivesARoundTrip) {
    const auto back = parse(toXml(Value(std::nan(""))));
    ASSERT_TRUE(back.has_value());
    ASSERT_TRUE(std::holds_alternative<double>(back->v));
    EXPECT_TRUE(std::isnan(std::get<double>(back->v)));
}

// NUL is the one character an XML document cannot carry in any form.
TEST(PlistXml, RefusesToWriteNul) {
    TempVolume vol;
    const std::string withNul("a\0b", 3);
    for (const Value& v : {Value(withNul), Value(Dictionary{{withNul, "x"}}),
                           Value(Array{"ok", Dictionary{{"k", withNul}}})}) {
        EXPECT_EQ(toXml(v), "");
        EXPECT_FALSE(writeXmlFile("/Library/x.plist", v));
    }
    EXPECT_FALSE(vol.exists("/Library/x.plist"));
}

TEST(PlistXml, ReadsWhatOtherWritersProduce) {
    struct Case {
        const char* name;
        std::string xml;
        Value expected;
    };
    const Case cases[] = {
        {"platform header, CRLF line ends",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD "
         "PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\r\n<plist "
         "version=\"1.0\">\r\n<dict>\r\n\t<key>A</key>\r\n\t<string>b</string>\r\n</dict>\r\n"
         "</plist>\r\n",
         Dictionary{{"A", "b"}}},
        {"no plist element", "<dict><key>A</key><integer>1</integer></dict>",
         Dictionary{{"A", int64_t{1}}}},
        {"comments, CDATA and spaced empty tags",
         "<plist><!-- c & d --><array><string>a<![CDATA[<&>]]></string><true /><false/>"
         "</array></plist>",
         Array{"a<&>", true, false}},
        {"whitespace-only string kept", "<plist><string> \t </string></plist>", " \t "},
        {"character references", "<plist><string>&#65;&#x42;&lt;&amp;&apos;&quot;</string></plist>",
         "AB<&'\""},
        {"integer forms",
         "<array><integer> 42 </integer><integer>-0x10</integer>"
         "<integer>+7</integer><integer>-9223372036854775808</integer></array>",
         Array{int64_t{42}, int64_t{-16}, int64_t{7}, std::numeric_limits<int64_t>::min()}},
        {"real forms", "<array><real>1e3</real><real>-2.5</real><real>7</real></array>",
         Array{1000.0, -2.5, 7.0}},
        {"base64 across lines", "<data>\n\tAAEC\n\t/w==\n</data>",
         Data{std::string("\x00\x01\x02\xff", 4)}},
        {"date", "<date>2001-01-01T00:00:00Z</date>", dateAt(978307200)},
        {"duplicate key: last wins",
         "<dict><key>k</key><string>1</string><key>k</key>"
         "<string>2</string></dict>",
         Dictionary{{"k", "2"}}},
        {"empty elements", "<array><string/><dict/><array/><data/></array>",
         Array{"", Dictionary{}, Array{}, Data{}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto v = parse(c.xml);
        ASSERT_TRUE(v.has_value());
        EXPECT_EQ(*v, c.expected);
    }
}

// One value of every kind the lists hold, with the awkward corners of each.
Dictionary everyKind() {
    return Dictionary{
        {"CFBundleName", "Foo"},
        {"unicode", "Caf\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x8d\x8e"},
        {"escapes", "<&>"},
        {"integers",
         Array{int64_t{0}, int64_t{255}, int64_t{65536}, int64_t{-1},
               std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::min()}},
        {"reals", Array{0.5, -1e300}},
        {"flags", Array{true, false}},
        {"data", Data{std::string("\x00\xff", 2)}},
        {"date", dateAt(978307200)},  // the writer in the fixture stores the reference date
        {"nested", Dictionary{{"deeper", Dictionary{{"list", Array{Array{}, Dictionary{}}}}}}},
        {"long string", repeat("x", 1000)},
    };
}

TEST(PlistBinary, RoundTripsThroughTheBinaryWriter) {
    const Dictionary info = everyKind();
    const auto back = parse(test::binaryPlist(info));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, Value(info));
    // And the binary file converts to XML and back unchanged.
    EXPECT_EQ(parse(toXml(*back)), Value(info));
}

// Other programs read what Vendrel writes: libplist's XML reader must accept the writer's
// output and find the same values in it (checked by having libplist re-encode them as a
// binary list for our reader).
TEST(PlistXml, LibplistReadsTheWriterOutputAsWritten) {
    const Value value = everyKind();
    const std::string binary = test::binaryPlistFromXml(toXml(value));
    ASSERT_FALSE(binary.empty());
    EXPECT_EQ(parse(binary), value);
}

TEST(PlistBinary, SharedObjectsAreReadOncePerReference) {
    RawBinary b;  // [s, s, s] with one string object
    b.objects = {RawBinary::collection(0xA, 3) + "\x01\x01\x01", RawBinary::ascii("same")};
    const auto v = parse(b.bytes());
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(*v, Value(Array{"same", "same", "same"}));
}

// A date the clock cannot hold must neither overflow nor cost the whole list: a "distant
// future" date in an otherwise ordinary file is clamped, the other values stay readable.
TEST(PlistDates, DatesBeyondTheClockAreClamped) {
    using system_clock = std::chrono::system_clock;
    const auto latest = floor<seconds>(system_clock::time_point::max());
    const auto earliest = ceil<seconds>(system_clock::time_point::min());
    struct Case {
        const char* date;
        system_clock::time_point expected;
    };
    for (const Case& c :
         {Case{"4001-01-01T00:00:00Z", latest}, Case{"9999-12-31T23:59:59Z", latest},
          Case{"0000-01-01T00:00:00Z", earliest}, Case{"2262-04-11T23:47:16Z", latest},
          Case{"1970-01-01T00:00:00Z", system_clock::time_point()}}) {
        SCOPED_TRACE(c.date);
        const auto v =
            parse(std::string("<dict><key>n</key><string>Foo</string><key>d</key><date>") + c.date +
                  "</date></dict>");
        ASSERT_TRUE(v.has_value());
        EXPECT_EQ(*stringForKey(*v->dictionary(), "n"), "Foo");
        const Value* d = valueForKey(*v->dictionary(), "d");
        ASSERT_TRUE(d && std::holds_alternative<Date>(d->v));
        EXPECT_EQ(std::get<Date>(d->v).time, c.expected);
        // What was clamped writes and reads back as the same date.
        EXPECT_EQ(parse(toXml(*v)), v);
    }

    // Binary: seconds after the reference date as an 8-byte float; the decoder keeps 32 bits.
    auto binaryDate = [](double secondsAfterReference) {
        uint64_t bits = 0;
        std::memcpy(&bits, &secondsAfterReference, sizeof bits);
        RawBinary b;
        b.objects = {"\x33" + RawBinary::bigEndian(bits, 8)};
        return b.bytes();
    };
    const int64_t reference = 978307200;
    struct BinaryCase {
        double secondsAfterReference;
        std::optional<int64_t> expectedUnix;  // nullopt: refused
    };
    for (const BinaryCase& c :
         {BinaryCase{0, reference}, BinaryCase{-86400.0, reference - 86400},
          BinaryCase{63113904000.0, reference + 2147483647},  // 4001-01-01
          BinaryCase{-1e300, reference - 2147483647},
          BinaryCase{std::numeric_limits<double>::infinity(), reference + 2147483647},
          BinaryCase{std::nan(""), std::nullopt}}) {
        SCOPED_TRACE(c.secondsAfterReference);
        const auto v = parse(binaryDate(c.secondsAfterReference));
        ASSERT_EQ(v.has_value(), c.expectedUnix.has_value());
        if (v) {
            ASSERT_TRUE(std::holds_alternative<Date>(v->v));
            EXPECT_EQ(std::get<Date>(v->v), dateAt(*c.expectedUnix));
        }
    }
}

// Depth counts every level, the innermost value included; the limit is the same for both
// encodings.
TEST(PlistLimits, DepthLimitIsTheSameForXmlAndBinary) {
    for (int levels : {kMaxPlistDepth - 1, kMaxPlistDepth, kMaxPlistDepth + 1}) {
        SCOPED_TRACE(levels);
        const bool fits = levels <= kMaxPlistDepth;
        EXPECT_EQ(parse(nestedXmlArrays(static_cast<size_t>(levels))).has_value(), fits);
        EXPECT_EQ(parse(nestedBinaryArrays(static_cast<uint64_t>(levels)).bytes()).has_value(),
                  fits);
    }
}

TEST(PlistLimits, HostileInputsReadAsAbsent) {
    // 2^40 expanded nodes from 41 objects: each array holds its successor twice.
    RawBinary doubling;
    for (int i = 0; i < 40; ++i)
        doubling.objects.push_back(RawBinary::collection(0xA, 2) +
                                   std::string(2, static_cast<char>(i + 1)));
    doubling.objects.push_back(RawBinary::ascii("leaf"));

    // Wide sharing without depth: 40000 references to one 4 KB string expand to 160 MB.
    RawBinary wide;
    wide.refSize = 2;
    wide.objects.push_back(RawBinary::collection(0xA, 40000) +
                           repeat(std::string("\x00\x01", 2), 40000));
    wide.objects.push_back(RawBinary::collection(0x5, 4096) + std::string(4096, 'x'));

    RawBinary selfCycle;
    selfCycle.objects = {RawBinary::collection(0xA, 1) + "\x00"};
    RawBinary twoCycle;
    twoCycle.objects = {RawBinary::collection(0xA, 1) + "\x01",
                        RawBinary::collection(0xD, 1) + "\x02\x00", RawBinary::ascii("k")};
    RawBinary refOutOfRange;
    refOutOfRange.objects = {RawBinary::collection(0xA, 1) + "\x05"};
    RawBinary nonStringKey;
    nonStringKey.objects = {RawBinary::collection(0xD, 1) + "\x01\x01", "\x10\x01"};
    RawBinary uid;
    uid.objects = {"\x80\x01"};
    // UTF-16 strings: FF FE is a lone low surrogate, D8 3C a high one without its partner.
    RawBinary loneLowSurrogate;
    loneLowSurrogate.objects = {"\x61\xDC\x00"};
    RawBinary unpairedHighSurrogateKey;
    unpairedHighSurrogateKey.objects = {RawBinary::collection(0xD, 1) + "\x01\x02",
                                        "\x62\xD8\x3C\x00\x41", RawBinary::ascii("v")};
    RawBinary highSurrogateAtEnd;
    highSurrogateAtEnd.objects = {"\x62\x00\x41\xD8\x3C"};
    // Overlapping objects: an offset aliasing another object, and a date whose bytes are
    // also a dictionary key's (clamping the date would rewrite the key).
    RawBinary aliasedOffset;
    aliasedOffset.objects = {RawBinary::collection(0xA, 2) + "\x01\x02", RawBinary::ascii("x"), ""};
    aliasedOffset.overlaps = {{2, 1, 0}};
    RawBinary dateInsideKey;
    dateInsideKey.objects = {RawBinary::collection(0xD, 1) + "\x01\x02",
                             "\x6F\x10\x05" + std::string("\x33") + std::string(9, 'z'), ""};
    dateInsideKey.overlaps = {{2, 1, 3}};
    RawBinary nulInString;
    nulInString.objects = {RawBinary::ascii(std::string("a\0b", 3))};
    RawBinary stringPastTable;
    stringPastTable.objects = {RawBinary::collection(0x5, 14) + "short"};
    RawBinary topOutOfRange;
    topOutOfRange.objects = {RawBinary::ascii("x")};
    topOutOfRange.top = 1;
    RawBinary hugeCount;
    hugeCount.objects = {RawBinary::ascii("x")};
    hugeCount.objectCountOverride = uint64_t(1) << 60;
    RawBinary tableInHeader;
    tableInHeader.objects = {RawBinary::ascii("x")};
    tableInHeader.tableOffsetOverride = 2;
    RawBinary hugeArrayCount;
    hugeArrayCount.objects = {RawBinary::collection(0xA, uint64_t(1) << 62)};

    const std::string billionLaughs =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n <!ENTITY lol \"lol\">\n"
        " <!ENTITY lol1 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">\n"
        " <!ENTITY lol2 \"&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;\">\n"
        "]>\n<plist><string>&lol2;</string></plist>";
    const std::string externalEntity =
        "<!DOCTYPE plist [<!ENTITY xxe SYSTEM \"file:///etc/passwd\">]>"
        "<plist><string>&xxe;</string></plist>";

    const std::string valid = test::binaryPlist({{"CFBundleName", "Foo"}});
    const std::string oversized =
        "<plist><string>" + std::string(kMaxPlistBytes, 'a') + "</string></plist>";

    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty", ""},
        {"whitespace", "  \n"},
        {"over the size limit", oversized},
        {"XML nested a hundred thousand deep", nestedXmlArrays(100000)},
        {"XML nested deep inside a string", "<string>" + repeat("<a>", 100000) + "</string>"},
        {"binary nested two hundred thousand deep", nestedBinaryArrays(200000).bytes()},
        {"binary doubling shared subtrees", doubling.bytes()},
        {"binary wide sharing", wide.bytes()},
        {"binary array holding itself", selfCycle.bytes()},
        {"binary cycle through a dictionary", twoCycle.bytes()},
        {"binary reference out of range", refOutOfRange.bytes()},
        {"binary dictionary key not a string", nonStringKey.bytes()},
        {"binary keyed-archive UID", uid.bytes()},
        {"binary string with NUL", nulInString.bytes()},
        {"binary objects sharing an offset", aliasedOffset.bytes()},
        {"binary date overlapping a key", dateInsideKey.bytes()},
        {"binary UTF-16 lone low surrogate", loneLowSurrogate.bytes()},
        {"binary UTF-16 unpaired high surrogate as a key", unpairedHighSurrogateKey.bytes()},
        {"binary UTF-16 high surrogate at the end", highSurrogateAtEnd.bytes()},
        {"binary string running into the offset table", stringPastTable.bytes()},
        {"binary top object out of range", topOutOfRange.bytes()},
        {"binary object count beyond the file", hugeCount.bytes()},
        {"binary offset table inside the header", tableInHeader.bytes()},
        {"binary array count beyond the file", hugeArrayCount.bytes()},
        {"binary magic only", "bplist00"},
        {"binary truncated trailer", valid.substr(0, valid.size() - 1)},
        {"XML truncated", "<plist><dict><key>A</key><string>b</string>"},
        {"XML not a property list element", "<plist><html/></plist>"},
        {"XML key without value", "<dict><key>A</key></dict>"},
        {"XML value without key", "<dict><string>A</string></dict>"},
        {"XML two top-level values", "<plist><string/><string/></plist>"},
        {"XML text between values", "<array>junk<string/></array>"},
        {"XML element inside a string", "<string>a<b/></string>"},
        {"XML integer overflow", "<integer>9223372036854775808</integer>"},
        {"XML integer garbage", "<integer>12abc</integer>"},
        {"XML real garbage", "<real>1.2.3</real>"},
        {"XML bad base64", "<data>AA*A</data>"},
        {"XML base64 after padding", "<data>AA==AA</data>"},
        {"XML bad date", "<date>2020-13-01T00:00:00Z</date>"},
        {"XML date without zone", "<date>2020-01-01T00:00:00</date>"},
        {"XML internal subset, entity expansion", billionLaughs},
        {"XML external entity", externalEntity},
        {"XML undeclared entity", "<plist><string>&nbsp;</string></plist>"},
        {"XML unterminated CDATA", "<plist><string><![CDATA[abc</string></plist>"},
        {"not XML at all", "CFBundleName = Foo;"},
    };
    const std::string_view keys[] = {"CFBundleName"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(parse(c.bytes).has_value());
        EXPECT_FALSE(stringsForKeys(c.bytes, keys).has_value());
    }
}

// The key reader gives what the dictionary reader gives for those keys, in both encodings,
// and refuses every list the dictionary reader refuses, however far from the wanted keys
// the fault lies.
TEST(PlistKeys, AgreesWithTheDictionaryReader) {
    const std::string_view keys[] = {"CFBundleName", "CFBundleIdentifier", "Missing", "Number",
                                     "Nested"};
    const Dictionary info{
        {"CFBundleName", "Name \xC3\xA9 <&> "},
        {"CFBundleIdentifier", " com.example.keys\n"},
        {"Number", int64_t{42}},
        {"Nested", Dictionary{{"CFBundleName", "inner"}}},
        {"Other", Array{Data{"xyz"}, dateAt(1600000000), 2.5, true}},
    };
    const auto expected = [&](const std::string& bytes) {
        const auto value = parse(bytes);
        EXPECT_TRUE(value && value->dictionary());
        KeyStrings out;
        for (auto key : keys) {
            const std::string* s = stringForKey(*value->dictionary(), key);
            out.push_back(s ? std::optional<std::string>(*s) : std::nullopt);
        }
        return out;
    };
    const std::string xml = toXml(info);
    // Written by another writer: a key given twice, comments and CDATA in the values.
    const std::string otherWriter =
        "<plist><dict><key>CFBundleName</key><string>first</string>"
        "<key>CFBundleName</key><string>sec<!-- c --><![CDATA[ond]]></string>"
        "<key>CFBundle<![CDATA[Identifier]]></key><string>split key</string>"
        "<key>Missing</key><integer>1</integer></dict></plist>";
    for (const std::string& bytes :
         {xml, test::binaryPlist(info), otherWriter, test::binaryPlistFromXml(otherWriter)}) {
        SCOPED_TRACE(bytes.substr(0, 8));
        const auto got = stringsForKeys(bytes, keys);
        ASSERT_TRUE(got.has_value());
        EXPECT_EQ(*got, expected(bytes));
    }
    EXPECT_EQ((*stringsForKeys(xml, keys))[0], "Name \xC3\xA9 <&> ");
    EXPECT_EQ((*stringsForKeys(otherWriter, keys))[0], "second");

    // Faults away from the wanted keys: each value follows a good CFBundleName.
    const char* badValues[] = {
        "<integer>12abc</integer>",
        "<real>1.2.3</real>",
        "<data>AA*A</data>",
        "<date>2020-13-01T00:00:00Z</date>",
        "<string>a<b/></string>",
        "<dict><key>A</key></dict>",
        "<dict><string>no key</string></dict>",
        "<array>junk<string/></array>",
        "<array><key>k</key></array>",
        "<true><x/></true>",
        "<unknown/>",
    };
    for (const char* bad : badValues) {
        SCOPED_TRACE(bad);
        const std::string bytes = std::string(
                                      "<plist><dict><key>CFBundleName</key><string>ok"
                                      "</string><key>Far</key>") +
                                  bad + "</dict></plist>";
        EXPECT_FALSE(parse(bytes).has_value());
        EXPECT_FALSE(stringsForKeys(bytes, keys).has_value());
    }
    const std::string deep =
        "<plist><dict><key>CFBundleName</key><string>ok</string><key>Far"
        "</key>" +
        repeat("<array>", kMaxPlistDepth) + repeat("</array>", kMaxPlistDepth) + "</dict></plist>";
    EXPECT_FALSE(parse(deep).has_value());
    EXPECT_FALSE(stringsForKeys(deep, keys).has_value());
    // Roots other than a dictionary.
    for (const std::string& bytes : {toXml(Array{"CFBundleName"}), toXml(Value("x")),
                                     test::binaryPlistFromXml(toXml(Array{"x"}))}) {
        EXPECT_FALSE(stringsForKeys(bytes, keys).has_value());
    }
}

// Every prefix of a valid binary list is malformed; none may crash the reader.
TEST(PlistLimits, EveryTruncationOfABinaryListIsRefused) {
    const std::string valid = test::binaryPlist(
        {{"CFBundleName", "Foo"}, {"list", Array{int64_t{1}, 2.5, Data{"xyz"}, true}}});
    ASSERT_TRUE(parse(valid).has_value());
    for (size_t n = 0; n < valid.size(); ++n) {
        SCOPED_TRACE(n);
        EXPECT_FALSE(parse(valid.substr(0, n)).has_value());
    }
}

// Inputs that once crashed or misbehaved (kept under tests/data/plist): each must read
// without harm, and whatever reads must write and read back to the same text.
TEST(PlistLimits, RegressionInputsStayHarmless) {
    const std::filesystem::path folder =
        std::filesystem::path(VENDREL_SOURCE_DIR) / "tests/data/plist";
    size_t seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        ++seen;
        const auto v = parse(bytes);
        if (!v)
            continue;
        const std::string xml = toXml(*v);
        ASSERT_FALSE(xml.empty());
        const auto again = parse(xml);
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(toXml(*again), xml);
    }
    EXPECT_GT(seen, 0u) << "no regression inputs found in " << folder;
}

TEST(PlistFiles, ReadsByRootType) {
    TempVolume vol;
    vol.write("/Library/dict.plist", toXml(Dictionary{{"A", "b"}}));
    vol.write("/Library/array.plist", toXml(Array{"x"}));
    vol.write("/Library/binary.plist", test::binaryPlist({{"A", "b"}}));
    vol.write("/Library/string.plist", toXml(Value("just a string")));
    vol.write("/Library/garbage.plist", "garbage");
    vol.mkdir("/Library/folder.plist");

    EXPECT_EQ(readDictionary("/Library/dict.plist"), (Dictionary{{"A", "b"}}));
    EXPECT_EQ(readDictionary("/Library/binary.plist"), (Dictionary{{"A", "b"}}));
    EXPECT_EQ(readArray("/Library/array.plist"), (Array{"x"}));
    EXPECT_EQ(readFile("/Library/string.plist"), Value("just a string"));

    struct Case {
        const char* path;
        bool dictionary;  // asked for a dictionary, else an array
    };
    for (const Case& c :
         {Case{"/Library/array.plist", true}, Case{"/Library/dict.plist", false},
          Case{"/Library/string.plist", true}, Case{"/Library/string.plist", false},
          Case{"/Library/garbage.plist", true}, Case{"/Library/missing.plist", true},
          Case{"/Library/folder.plist", true}, Case{"Library/dict.plist", true}}) {
        SCOPED_TRACE(c.path);
        if (c.dictionary)
            EXPECT_FALSE(readDictionary(c.path).has_value());
        else
            EXPECT_FALSE(readArray(c.path).has_value());
    }
}

TEST(PlistFiles, RefusesSpecialAndOversizedFilesWithoutReadingThem) {
    TempVolume vol;
    vol.mkdir("/Library");
    // A FIFO with no writer would block a plain open() forever.
    ASSERT_EQ(::mkfifo(vol.host("/Library/fifo.plist").c_str(), 0644), 0);
    EXPECT_FALSE(readFile("/Library/fifo.plist").has_value());

    // Sparse: large on disk without writing megabytes.
    vol.write("/Library/big.plist", toXml(Dictionary{{"A", "b"}}));
    std::filesystem::resize_file(vol.host("/Library/big.plist"), kMaxPlistBytes + 1);
    EXPECT_FALSE(readFile("/Library/big.plist").has_value());

    vol.symlink("/dev/zero", "/Library/zero.plist");
    EXPECT_FALSE(readFile("/Library/zero.plist").has_value());
}

TEST(PlistFiles, WritesAtomicallyAndReplaces) {
    TempVolume vol;
    vol.mkdir("/Applications/Vendrel.app/Contents");
    const std::string path = "/Applications/Vendrel.app/Contents/Delete_FoldersFiles.txt";
    const Value first = Array{Dictionary{{"AppName", "Foo"}}, Dictionary{{"IsDirPath", "YES"}}};
    const Value second = Array{Dictionary{{"AppName", "Bar Baz"}}};
    ASSERT_TRUE(writeXmlFile(path, first));
    EXPECT_EQ(readFile(path), first);
    ASSERT_TRUE(writeXmlFile(path, second));
    EXPECT_EQ(readFile(path), second);
    EXPECT_EQ(vol.read(path), toXml(second));
    // Nothing but the file itself is left in the folder.
    size_t entries = 0;
    for (const auto& e :
         std::filesystem::directory_iterator(vol.host("/Applications/Vendrel.app/Contents"))) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1u);
}

}  // namespace
}  // namespace vendrel::platform::plist
