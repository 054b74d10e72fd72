// The encrypted container (decryptData) and the update server's hex form (decryptHexData). Whatever
// plaintext a reader accepts, the matching writer encrypts and the reader gives back unchanged.
#include "fuzzcheck.h"

#include "cipher.h"

#include <QByteArray>
#include <QLoggingCategory>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const bool hex = data[0] & 1;
    const QByteArray in(reinterpret_cast<const char *>(data + 1), int(size - 1));

    QByteArray plain;
    if (hex) {
        if (!decryptHexData(in, plain))
            return 0;
        // The hex form has no flag for padding: whole blocks that end like a pad (01, 01 02, ...) cannot be
        // told from padded data. Catalogue documents end in a line feed and never do.
        const int last = plain.isEmpty() ? 0 : quint8(plain.at(plain.size() - 1));
        if (plain.size() % CipherContext::BlockSize == 0 && last >= 1 && last <= CipherContext::BlockSize)
            return 0;
        QByteArray text;
        FUZZ_CHECK(encryptHexData(plain, text));
        QByteArray again;
        FUZZ_CHECK(decryptHexData(text, again));
        FUZZ_CHECK(again == plain);
        return 0;
    }

    const bool accepted = decryptData(in, plain);
    FUZZ_CHECK(accepted == (CipherContext::checkContainer(in) == CipherContext::Success));
    if (!accepted) {
        FUZZ_CHECK(plain.isEmpty());
        return 0;
    }
    FUZZ_CHECK(plain.size() <= in.size() - CipherContext::PrefixSize);
    QByteArray container;
    FUZZ_CHECK(encryptData(plain, container));
    FUZZ_CHECK(container.size() == CipherContext::encryptedLength(plain.size()));
    QByteArray again;
    FUZZ_CHECK(decryptData(container, again));
    FUZZ_CHECK(again == plain);
    return 0;
}
