#include "app/password_store.h"

#include "app/registry_plus.h"
#include "framework/unique_handle.h"

#include <windows.h>

#include <bcrypt.h>

namespace {

struct AlgorithmTraits {
    static BCRYPT_ALG_HANDLE Invalid() { return nullptr; }
    static bool IsValid(BCRYPT_ALG_HANDLE h) { return h != nullptr; }
    static void Close(BCRYPT_ALG_HANDLE h) { ::BCryptCloseAlgorithmProvider(h, 0); }
};
using UniqueAlgorithm = UniqueHandle<BCRYPT_ALG_HANDLE, AlgorithmTraits>;

Bytes AsBytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

} // namespace

bool DerivePbkdf2Sha256(std::string_view password, const Bytes& salt, std::uint32_t iterations,
                        Bytes& out) {
    UniqueAlgorithm algorithm;
    if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(algorithm.Put(), BCRYPT_SHA256_ALGORITHM,
                                                      nullptr, BCRYPT_ALG_HANDLE_HMAC_FLAG)))
        return false;
    // bcrypt takes no const pointers; it does not write through them.
    Bytes passwordBytes = AsBytes(password);
    Bytes saltBytes = salt;
    return BCRYPT_SUCCESS(::BCryptDeriveKeyPBKDF2(
        algorithm.Get(), passwordBytes.empty() ? nullptr : passwordBytes.data(),
        static_cast<ULONG>(passwordBytes.size()), saltBytes.empty() ? nullptr : saltBytes.data(),
        static_cast<ULONG>(saltBytes.size()), iterations, out.data(),
        static_cast<ULONG>(out.size()), 0));
}

std::optional<std::string> MakeVerifierText(std::string_view password, std::uint32_t iterations) {
    PasswordVerifier verifier;
    verifier.iterations = iterations;
    verifier.salt.resize(kVerifierSaltBytes);
    verifier.hash.resize(kVerifierHashBytes);
    if (!BCRYPT_SUCCESS(::BCryptGenRandom(nullptr, verifier.salt.data(),
                                          static_cast<ULONG>(verifier.salt.size()),
                                          BCRYPT_USE_SYSTEM_PREFERRED_RNG)) ||
        !DerivePbkdf2Sha256(password, verifier.salt, iterations, verifier.hash))
        return std::nullopt;
    return FormatVerifier(verifier);
}

bool VerifierAccepts(std::string_view verifierText, std::string_view password) {
    const std::optional<PasswordVerifier> verifier = ParseVerifier(verifierText);
    if (!verifier)
        return false;
    Bytes derived(verifier->hash.size());
    return DerivePbkdf2Sha256(password, verifier->salt, verifier->iterations, derived) &&
           ConstantTimeEqual(derived, verifier->hash);
}

AdminPassword::Check AdminPassword::Verify(const std::string& typed) {
    std::string legacy;
    if (m_settings.ReadSecret(kLegacyValue, legacy)) {
        if (!ConstantTimeEqual(AsBytes(legacy), AsBytes(typed)))
            return Check::Incorrect;
        return Store(typed) ? Check::Correct : Check::CorrectNotReplaced;
    }
    std::string verifier;
    if (!m_settings.TryReadString(kVerifierValue, verifier))
        return Check::NoneStored;
    // A stored text that is no verifier of ours accepts nothing: an operator who can write the
    // key deletes the value to start again.
    return VerifierAccepts(verifier, typed) ? Check::Correct : Check::Incorrect;
}

bool AdminPassword::Store(const std::string& typed) {
    const std::optional<std::string> verifier = MakeVerifierText(typed);
    if (!verifier || !m_settings.WriteString(kVerifierValue, *verifier))
        return false;
    std::string readBack;
    if (!m_settings.TryReadString(kVerifierValue, readBack) || readBack != *verifier)
        return false;
    return m_settings.DeleteValue(kLegacyValue);
}
