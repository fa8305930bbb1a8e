#pragma once
// SHA-256 through the system's CNG provider (bcrypt.dll, loaded when first used), fed in
// pieces as a file passes through.

#include <cstddef>
#include <string>

class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    // False when the provider could not be opened; Add and Finish then do nothing.
    bool Ok() const { return m_hash != nullptr; }
    void Add(const void* data, std::size_t size);
    // 64 lower-case hex digits; empty when the provider failed. Ends the hash.
    std::string Finish();

    static std::string Of(const void* data, std::size_t size);

private:
    void* m_algorithm = nullptr; // BCRYPT_ALG_HANDLE
    void* m_hash = nullptr;      // BCRYPT_HASH_HANDLE
    bool m_failed = false;
};
