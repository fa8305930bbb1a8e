// The administrator password against the system's bcrypt.dll and the real registry.
#include "app/password_store.h"
#include "app/registry_plus.h"
#include "app/rot13.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

Bytes FromHex(std::string_view hex) {
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(
            static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    return bytes;
}

// Published PBKDF2-HMAC-SHA256 vectors: RFC 7914 section 11 and the widely published
// P = "password", S = "salt" set (as in CPython's hashlib tests).
TEST(PasswordDerivation, MatchesPublishedPbkdf2HmacSha256Vectors) {
    const struct {
        std::string password, salt;
        std::uint32_t iterations;
        const char* hex;
    } vectors[] = {
        {"passwd", "salt", 1,
         "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"
         "49ca9cccf179b645991664b39d77ef317c71b845b1e30bd509112041d3a19783"},
        {"Password", "NaCl", 80000,
         "4ddcd8f60b98be21830cee5ef22701f9641a4418d04c0414aeff08876b34ab56"
         "a1d425a1225833549adb841b51c9b3176a272bdebba1d078478f62b397f33c8d"},
        {"password", "salt", 1, "120fb6cffcf8b32c43e7225256c4f837a86548c92ccc35480805987cb70be17b"},
        {"password", "salt", 2, "ae4d0c95af6b46d32d0adff928f06dd02a303f8ef3c251dfd6e2d85a95474c43"},
        {"password", "salt", 4096,
         "c5e478d59288c841aa530db6845c4c8d962893a001ce4e11a4963873aa98134a"},
        {"passwordPASSWORDpassword", "saltSALTsaltSALTsaltSALTsaltSALTsalt", 4096,
         "348c89dbcbd32b2f32d814b8116e84cf2b17347ebc1800181c4e2a1fb8dd53e1c635518c7dac47e9"},
        {std::string("pass\0word", 9), std::string("sa\0lt", 5), 4096,
         "89b69d0516f829893c696226650a8687"},
    };
    for (const auto& v : vectors) {
        SCOPED_TRACE(v.password + " / " + std::to_string(v.iterations));
        const Bytes expected = FromHex(v.hex);
        Bytes out(expected.size());
        ASSERT_TRUE(
            DerivePbkdf2Sha256(v.password, Bytes(v.salt.begin(), v.salt.end()), v.iterations, out));
        EXPECT_EQ(out, expected);
    }
}

TEST(PasswordDerivation, NewVerifiersHaveFreshSaltsAndAcceptOnlyTheirPassword) {
    const std::string a = MakeVerifierText("Caf\xE9 pass", 1000).value_or("");
    const std::string b = MakeVerifierText("Caf\xE9 pass", 1000).value_or("");
    const auto parsed = ParseVerifier(a);
    ASSERT_TRUE(parsed) << a;
    EXPECT_EQ(parsed->iterations, 1000u);
    EXPECT_EQ(parsed->salt.size(), 16u);
    EXPECT_NE(ParseVerifier(b)->salt, parsed->salt) << "one salt per verifier";
    EXPECT_TRUE(VerifierAccepts(a, "Caf\xE9 pass"));
    EXPECT_TRUE(VerifierAccepts(b, "Caf\xE9 pass"));
    for (const char* other : {"caf\xE9 pass", "Caf\xE9 pass ", "", "Caf\xE9"})
        EXPECT_FALSE(VerifierAccepts(a, other)) << other;
    EXPECT_FALSE(VerifierAccepts("", ""));
    EXPECT_FALSE(VerifierAccepts(Rot13("Caf\xE9 pass"), "Caf\xE9 pass"));
}

class AdminPasswordTest : public ::testing::Test {
protected:
    ScopedRegistryKeyReset m_reset{"Software\\Korvane"};
};

TEST_F(AdminPasswordTest, TheOlderFormOpensOnceAndIsReplacedByAVerifier) {
    CRegistryPlus settings;
    AdminPassword password(settings);
    std::string text;
    EXPECT_EQ(password.Verify("anything"), AdminPassword::Check::NoneStored);

    settings.WriteSecret("password", "Caf3Pass");
    EXPECT_EQ(password.Verify("caf3pass"), AdminPassword::Check::Incorrect);
    EXPECT_TRUE(settings.ReadSecret("password", text)) << "a wrong text replaces nothing";
    EXPECT_FALSE(settings.TryReadString("passwordhash", text));

    EXPECT_EQ(password.Verify("Caf3Pass"), AdminPassword::Check::Correct);
    EXPECT_FALSE(settings.ReadSecret("password", text)) << "the readable form is gone";
    ASSERT_TRUE(settings.TryReadString("passwordhash", text));
    const auto verifier = ParseVerifier(text);
    ASSERT_TRUE(verifier) << text;
    EXPECT_EQ(verifier->iterations, kVerifierIterations);

    // A verifier with fewer iterations (still the stored format) checks the same way.
    settings.WriteString("passwordhash", MakeVerifierText("n3w", 1000).value_or(""));
    EXPECT_EQ(password.Verify("Caf3Pass"), AdminPassword::Check::Incorrect);
    EXPECT_EQ(password.Verify("n3w"), AdminPassword::Check::Correct);
    // A text that is no verifier opens nothing.
    settings.WriteString("passwordhash", "pbkdf2-sha256$1000$$");
    EXPECT_EQ(password.Verify("n3w"), AdminPassword::Check::Incorrect);
}

TEST_F(AdminPasswordTest, WithoutWriteAccessNothingIsStoredAndTheOlderFormStays) {
    {
        CRegistryPlus writable;
        writable.WriteSecret("password", "Caf3Pass");
    }
    ScopedUnwritableSettings refuse;
    CRegistryPlus settings;
    AdminPassword password(settings);
    EXPECT_FALSE(password.Store("other"));
    EXPECT_EQ(password.Verify("Caf3Pass"), AdminPassword::Check::CorrectNotReplaced);
    std::string text;
    EXPECT_TRUE(settings.ReadSecret("password", text));
    EXPECT_FALSE(settings.TryReadString("passwordhash", text));
}

} // namespace
