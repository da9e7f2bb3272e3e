#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/utf8_text.h"
#include "update_core/manifest.h"
#include "update_core/manifest_index.h"
#include "update_core/sha256.h"

// The manifest of an update's files: SHA-256 against the standard's own test
// vectors, the reader by tables of what it takes and what it refuses, the
// writer's bytes, and the index the updater looks files up in.

namespace {

std::string hex_of(const std::string& bytes, std::size_t piece = 0)
{
    C_sha256 hash;
    if (piece == 0) piece = bytes.size() + 1;
    for (std::size_t at = 0; at < bytes.size(); at += piece) hash.add(bytes.data() + at, std::min(piece, bytes.size() - at));
    return digest_to_hex(hash.finish());
}

// Runs `check` with the portable rounds, then with the processor's
// instructions where it has them.
template <class Check>
void with_each_implementation(Check check)
{
    const bool before = use_sha_instructions(false);
    check("portable rounds");
    if (sha_instructions_available()) {
        use_sha_instructions(true);
        check("SHA instructions");
    }
    use_sha_instructions(before);
}

TEST(Sha256, StandardTestVectorsInAnyPieces)
{
    const std::string million_a(1000000, 'a');
    with_each_implementation([&](const char* which) {
        SCOPED_TRACE(which);
        // FIPS 180-2, appendix B, and the empty message.
        EXPECT_EQ(hex_of("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
        EXPECT_EQ(hex_of("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
                  "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
        EXPECT_EQ(hex_of(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
        for (std::size_t piece : {0u, 1u, 63u, 64u, 65u, 1000u, 999999u}) {
            EXPECT_EQ(hex_of(million_a, piece), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0")
                << piece;
        }
    });
}

TEST(Sha256, BothImplementationsAgreeAcrossEveryPaddingBoundary)
{
    const std::string data = pattern_bytes(300, 7);
    std::vector<std::string> portable;
    use_sha_instructions(false);
    for (std::size_t size = 0; size <= data.size(); ++size) portable.push_back(hex_of(data.substr(0, size), 7));
    use_sha_instructions(true);
    if (!sha_instructions_available()) GTEST_SKIP() << "this processor has no SHA instructions";
    for (std::size_t size = 0; size <= data.size(); ++size) {
        EXPECT_EQ(hex_of(data.substr(0, size)), portable[size]) << size;
    }
}

const std::string DIGEST_A = "ca978112ca1bbdcafac231b39a23dc4da786eff8147c4e72b9807785afee48bb";

TEST(ManifestReader, ReadsEveryFileWithItsSizeAndDigest)
{
    // The maker's form, and what sha256sum itself writes and a mirror may make
    // of it: text mode, capital digits, CR LF, comments and blank lines.
    const std::string bytes = "# made by hand\n\n"
                              "# size 1\n" + DIGEST_A + " *gamedata/a.txt\n"
                              "# sizes of what follows\r\n"
                              "# size 18446744073709551615\r\n" +
                              "CA978112CA1BBDCAFAC231B39A23DC4DA786EFF8147C4E72B9807785AFEE48BB  gamedata/音声/ボイス 1.ogg\r\n"
                              "# size 0\n" + DIGEST_A + " *Gamedata/data/sub/x";

    const C_manifest manifest = read_manifest(bytes);

    EXPECT_EQ(manifest.problem, manifest_problem::none);
    ASSERT_EQ(manifest.files.size(), 3u);
    const struct {
        const wchar_t* rel;
        std::uint64_t size;
        int line;
    } expected[] = {{L"a.txt", 1, 4}, {L"音声\\ボイス 1.ogg", 18446744073709551615ull, 7}, {L"data\\sub\\x", 0, 9}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(to_utf8(manifest.files[i].rel), to_utf8(expected[i].rel));
        EXPECT_EQ(manifest.files[i].size, expected[i].size);
        EXPECT_EQ(manifest.files[i].line, expected[i].line);
        EXPECT_EQ(digest_to_hex(manifest.files[i].digest), DIGEST_A);
    }
}

TEST(ManifestReader, RefusesWhatItCannotTrustAtItsFirstLine)
{
    const std::string sized = "# size 1\n" + DIGEST_A;
    const struct {
        std::string bytes;
        manifest_problem problem;
        int line;
    } cases[] = {
        {"a.txt\n", manifest_problem::malformed, 1},
        {"\xEF\xBB\xBF# size 1\n", manifest_problem::malformed, 1},  // a byte-order mark
        {DIGEST_A + " *gamedata/a.txt\n", manifest_problem::malformed, 1},  // no size
        {"# size 1\n# comment\n", manifest_problem::malformed, 1},           // a size without its file
        {"# size 1\n# size 2\n" + DIGEST_A + " *gamedata/a\n", manifest_problem::malformed, 2},
        {"# size 1x\n", manifest_problem::malformed, 1},
        {"# size \n", manifest_problem::malformed, 1},
        {"# size 18446744073709551616\n", manifest_problem::malformed, 1},
        {"# size 1\n" + DIGEST_A.substr(1) + " *gamedata/a\n", manifest_problem::malformed, 2},
        {"# size 1\n" + DIGEST_A.substr(0, 63) + "g *gamedata/a\n", manifest_problem::malformed, 2},
        {sized + " +gamedata/a\n", manifest_problem::malformed, 2},
        {sized + "*gamedata/a\n", manifest_problem::malformed, 2},
        {sized + " *gamedata/\xC3\n", manifest_problem::malformed, 2},          // cut UTF-8
        {sized + " *gamedata/\xC0\xAF\n", manifest_problem::malformed, 2},      // overlong
        {sized + " *gamedata/\xED\xA0\x80\n", manifest_problem::malformed, 2},  // a surrogate
        {"# \xFF\n", manifest_problem::malformed, 1},
        {sized + " *gamedata/\n", manifest_problem::malformed, 2},
        {sized + " *gamedata//a\n", manifest_problem::malformed, 2},
        {sized + " *gamedata/a/\n", manifest_problem::malformed, 2},
        {sized + " *gamedata/./a\n", manifest_problem::malformed, 2},
        {sized + " *gamedata/a\\b\n", manifest_problem::malformed, 2},
        {sized + " *gamedata/a\tb\n", manifest_problem::malformed, 2},
        {sized + " *a.txt\n", manifest_problem::outside, 2},
        {sized + " *update.exe\n", manifest_problem::outside, 2},
        {sized + " *gamedatax/a\n", manifest_problem::outside, 2},
        {sized + " */etc/passwd\n", manifest_problem::outside, 2},
        {sized + " *../gamedata/a\n", manifest_problem::outside, 2},
        {sized + " *gamedata/../update.exe\n", manifest_problem::outside, 2},
        {sized + " *gamedata/a/../../x\n", manifest_problem::outside, 2},
        {sized + " *gamedata/... /x\n", manifest_problem::outside, 2},
        {sized + " *gamedata/..\\x\n", manifest_problem::outside, 2},
        {sized + " *gamedata/\\\\server\\x\n", manifest_problem::outside, 2},
        {sized + " *gamedata/C:x\n", manifest_problem::outside, 2},
        {sized + " *gamedata/a:stream\n", manifest_problem::outside, 2},
        // Fine up to a later line: nothing of it is kept.
        {sized + " *gamedata/a\n# size 2\n", manifest_problem::malformed, 3},
    };
    for (const auto& c : cases) {
        const C_manifest manifest = read_manifest(c.bytes);
        EXPECT_EQ(manifest.problem, c.problem) << c.bytes;
        EXPECT_EQ(manifest.problem_line, c.line) << c.bytes;
        EXPECT_TRUE(manifest.files.empty()) << c.bytes;
    }
    EXPECT_EQ(read_manifest("").problem, manifest_problem::none);
}

TEST(ManifestWriter, SortedByPathSoThatTheSameFilesGiveTheSameBytes)
{
    C_sha256_digest a;
    ASSERT_TRUE(digest_from_hex(DIGEST_A.data(), DIGEST_A.size(), a));
    const C_sha256_digest zero{};
    const std::vector<C_manifest_file> files{
        {L"音声\\ボイス.ogg", 3, zero, 0}, {L"data\\b.pak", 0, a, 0}, {L"Readme.txt", 12, a, 0}, {L"data\\A.pak", 1, a, 0}};

    std::string bytes;
    ASSERT_TRUE(write_manifest(files, bytes));

    const std::string zeros(64, '0');
    EXPECT_EQ(bytes, "# The size and SHA-256 of every file of gamedata. In this folder, sha256sum -c update.sha256 "
                     "checks them.\n"
                     "# size 12\n" + DIGEST_A + " *gamedata/Readme.txt\n"
                     "# size 1\n" + DIGEST_A + " *gamedata/data/A.pak\n"
                     "# size 0\n" + DIGEST_A + " *gamedata/data/b.pak\n"
                     "# size 3\n" + zeros + " *gamedata/" + to_utf8(L"音声/ボイス.ogg") + "\n");
    const C_manifest read = read_manifest(bytes);
    ASSERT_EQ(read.problem, manifest_problem::none);
    ASSERT_EQ(read.files.size(), 4u);
    EXPECT_EQ(to_utf8(read.files[3].rel), to_utf8(L"音声\\ボイス.ogg"));
    EXPECT_EQ(read.files[3].size, 3u);
    EXPECT_EQ(read.files[3].line, 9);

    // A name Windows may hold but UTF-8 cannot spell: half a surrogate pair.
    EXPECT_FALSE(write_manifest({{std::wstring(L"bad") + wchar_t(0xD800), 1, a, 0}}, bytes));
    EXPECT_EQ(bytes, "");
}

TEST(ManifestIndex, FindsFilesAsTheFileSystemNamesThem)
{
    C_manifest_index index;
    int clash = 0;
    ASSERT_TRUE(index.build({{L"data\\ボイス.ogg", 1, {}, 4}, {L"Readme.txt", 2, {}, 2}, {L"data\\sub\\x", 3, {}, 6}}, clash));
    for (const wchar_t* rel : {L"readme.TXT", L"DATA/ボイス.ogg", L"data\\.\\sub\\\\x", L".\\Readme.txt"}) {
        EXPECT_NE(index.find(rel), nullptr) << to_utf8(rel);
    }
    for (const wchar_t* rel : {L"data", L"sub\\x", L"data\\ボイス.og", L"Readme.txt\\x"}) {
        EXPECT_EQ(index.find(rel), nullptr) << to_utf8(rel);
    }
    EXPECT_EQ(index.find(L"DATA\\SUB\\X")->line, 6);

    // Two lines for one place, whatever the letter case: the later one is named.
    EXPECT_FALSE(index.build({{L"a.txt", 1, {}, 2}, {L"b.txt", 1, {}, 4}, {L"A.TXT", 1, {}, 6}}, clash));
    EXPECT_EQ(clash, 6);
    EXPECT_TRUE(index.files().empty());
}

}  // namespace
