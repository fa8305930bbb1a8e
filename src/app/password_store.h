#pragma once
// The administrator password in the settings key. It is kept as a salted PBKDF2-HMAC-SHA256
// verifier in "passwordhash", derived by the system's bcrypt.dll. The older form, the password
// in ROT13 in "password" (an older installation, or a korvane.reg the installer imported),
// still opens admin mode once; that success replaces it by a verifier.

#include "app/password_verifier.h"

#include <optional>
#include <string>
#include <string_view>

class CRegistryPlus;

// What the desktop shows when the password cannot be stored.
inline constexpr const char* kPasswordNotStored =
    "The password cannot be stored: Korvane Shell needs write access to "
    "HKLM\\Software\\Korvane (see Help)";

// PBKDF2-HMAC-SHA256 of `password` and `salt` into out.size() bytes, by bcrypt.dll (loaded on
// the first call); false when the system cannot derive it.
bool DerivePbkdf2Sha256(std::string_view password, const Bytes& salt, std::uint32_t iterations,
                        Bytes& out);

// A new verifier of `password` with a fresh random salt; nothing when bcrypt fails.
std::optional<std::string> MakeVerifierText(std::string_view password,
                                            std::uint32_t iterations = kVerifierIterations);
// Whether `password` is the one `verifierText` was made from; false for a text that is no
// verifier.
bool VerifierAccepts(std::string_view verifierText, std::string_view password);

class AdminPassword {
public:
    static constexpr const char* kVerifierValue = "passwordhash";
    static constexpr const char* kLegacyValue = "password";

    enum class Check {
        NoneStored, // no password yet: the typed one is to become it
        Correct,
        CorrectNotReplaced, // the older form matched, but its verifier could not be stored
        Incorrect,
    };

    explicit AdminPassword(CRegistryPlus& settings) : m_settings(settings) {}

    // Compares `typed` with the stored password (the older form first: a value that is there
    // came after the last replacement). A correct older form is replaced by a verifier.
    Check Verify(const std::string& typed);
    // Stores a verifier of `typed` and removes the older form; true only when the verifier
    // reads back as written and the older form is gone.
    bool Store(const std::string& typed);

private:
    CRegistryPlus& m_settings;
};
