// The stored text of the password verifier: base64, the format, and the comparison.
#include "app/password_verifier.h"

#include <gtest/gtest.h>

namespace {

Bytes B(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

TEST(PasswordVerifierTest, Base64FollowsRfc4648AndRefusesAnythingElse) {
    // RFC 4648 section 10.
    const std::pair<const char*, const char*> vectors[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [plain, encoded] : vectors) {
        EXPECT_EQ(Base64Encode(B(plain)), encoded);
        EXPECT_EQ(Base64Decode(encoded), B(plain)) << encoded;
    }
    Bytes every;
    for (int i = 0; i < 256; ++i)
        every.push_back(static_cast<std::uint8_t>(255 - i));
    for (std::size_t length : {254u, 255u, 256u}) {
        const Bytes part(every.begin(), every.begin() + length);
        EXPECT_EQ(Base64Decode(Base64Encode(part)), part) << length;
    }
    EXPECT_EQ(Base64Encode({0xFB, 0xFF}), "+/8=");
    for (const char* bad : {"Zg", "Zg=", "Zg===", "Z===", "Zm=8", "Zg==Zg==", "Zm9v\n", "Zm 9v",
                            "Zh==", "Zm9=", "Zm9-", "Zm9_", "====", "Zm9v!A=="})
        EXPECT_FALSE(Base64Decode(bad)) << bad;
}

TEST(PasswordVerifierTest, TheFormatRoundTripsAndRefusesWhatIsNoVerifierOfOurs) {
    PasswordVerifier verifier;
    verifier.iterations = 200000;
    verifier.salt = Bytes(16, 0xA5);
    for (int i = 0; i < 32; ++i)
        verifier.hash.push_back(static_cast<std::uint8_t>(i * 7));
    const std::string text = FormatVerifier(verifier);
    EXPECT_EQ(text, "pbkdf2-sha256$200000$paWlpaWlpaWlpaWlpaWlpQ==$"
                    "AAcOFRwjKjE4P0ZNVFtiaXB3foWMk5qhqK+2vcTL0tk=");
    const auto parsed = ParseVerifier(text);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->iterations, verifier.iterations);
    EXPECT_EQ(parsed->salt, verifier.salt);
    EXPECT_EQ(parsed->hash, verifier.hash);

    const std::string salt = "paWlpaWlpaWlpaWlpaWlpQ==";
    const std::string hash = "AAcOFRwjKjE4P0ZNVFtiaXB3foWMk5qhqK+2vcTL0tk=";
    EXPECT_TRUE(ParseVerifier("pbkdf2-sha256$1$" + salt + "$" + hash)) << "any count may be read";
    EXPECT_TRUE(ParseVerifier("pbkdf2-sha256$5000000$" + salt + "$" + hash));
    for (const std::string bad : {
             std::string(),
             std::string("Pns3Cnff"),
             "pbkdf2-sha1$200000$" + salt + "$" + hash,
             "PBKDF2-SHA256$200000$" + salt + "$" + hash,
             "pbkdf2-sha256$0$" + salt + "$" + hash,
             "pbkdf2-sha256$5000001$" + salt + "$" + hash,
             "pbkdf2-sha256$99999999999$" + salt + "$" + hash,
             "pbkdf2-sha256$-5$" + salt + "$" + hash,
             "pbkdf2-sha256$+5$" + salt + "$" + hash,
             "pbkdf2-sha256$2e5$" + salt + "$" + hash,
             "pbkdf2-sha256$$" + salt + "$" + hash,
             "pbkdf2-sha256$200000$$" + hash,
             "pbkdf2-sha256$200000$AAAAAAA=$" + hash,     // 5-byte salt
             "pbkdf2-sha256$200000$" + salt + "$" + salt, // 16-byte hash
             "pbkdf2-sha256$200000$" + salt + "$" + hash + "$",
             "pbkdf2-sha256$200000$" + salt + "$" + hash + "\n",
             "pbkdf2-sha256$200000$" + salt,
         })
        EXPECT_FALSE(ParseVerifier(bad)) << bad;
}

TEST(PasswordVerifierTest, ConstantTimeEqualComparesEveryByte) {
    const Bytes a = B("0123456789abcdef");
    EXPECT_TRUE(ConstantTimeEqual(a, a));
    EXPECT_TRUE(ConstantTimeEqual({}, {}));
    for (std::size_t i : {0u, 7u, 15u}) {
        Bytes b = a;
        b[i] ^= 0x80;
        EXPECT_FALSE(ConstantTimeEqual(a, b)) << i;
    }
    EXPECT_FALSE(ConstantTimeEqual(a, B("0123456789abcde")));
    EXPECT_FALSE(ConstantTimeEqual(B(""), B("x")));
}

} // namespace
