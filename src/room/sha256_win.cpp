// The hash-object calls work from Windows Vista on (BCryptHash in one call needs Windows 10).

#include "room/sha256_win.h"

#include "room/room_rules.h"

#include <windows.h>

#include <bcrypt.h>

Sha256::Sha256() {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (!BCRYPT_SUCCESS(
            ::BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
        return;
    m_algorithm = algorithm;
    BCRYPT_HASH_HANDLE hash = nullptr;
    // A null object buffer lets the provider keep the hash object itself.
    if (BCRYPT_SUCCESS(::BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0)))
        m_hash = hash;
}

Sha256::~Sha256() {
    if (m_hash)
        ::BCryptDestroyHash(static_cast<BCRYPT_HASH_HANDLE>(m_hash));
    if (m_algorithm)
        ::BCryptCloseAlgorithmProvider(static_cast<BCRYPT_ALG_HANDLE>(m_algorithm), 0);
}

void Sha256::Add(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (m_hash && !m_failed && size > 0) {
        const ULONG chunk = size > 0x40000000u ? 0x40000000u : static_cast<ULONG>(size);
        if (!BCRYPT_SUCCESS(::BCryptHashData(static_cast<BCRYPT_HASH_HANDLE>(m_hash),
                                             const_cast<PUCHAR>(bytes), chunk, 0)))
            m_failed = true;
        bytes += chunk;
        size -= chunk;
    }
}

std::string Sha256::Finish() {
    if (!m_hash || m_failed)
        return {};
    unsigned char digest[32];
    if (!BCRYPT_SUCCESS(
            ::BCryptFinishHash(static_cast<BCRYPT_HASH_HANDLE>(m_hash), digest, sizeof digest, 0)))
        return {};
    m_failed = true; // a finished hash takes no more data
    return room::HexDigest(digest, sizeof digest);
}

std::string Sha256::Of(const void* data, std::size_t size) {
    Sha256 hash;
    hash.Add(data, size);
    return hash.Finish();
}
