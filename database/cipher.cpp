#include "cipher.h"

#include <QLoggingCategory>

#include <openssl/evp.h>

#include <cstring>
#include <limits>

Q_LOGGING_CATEGORY(lcCipher, "cipher")

namespace {
constexpr char magic[4] = {'O', 'A', 'E', 'S'};
constexpr quint8 version = 1;
constexpr quint8 typeEncryptedData = 2;
constexpr quint8 flagPadded = 0x01;

void xorBlock(char *block, const char *with)
{
    for (int i = 0; i < CipherContext::BlockSize; ++i)
        block[i] = static_cast<char>(block[i] ^ with[i]);
}

bool isHexDigit(char c, int *value)
{
    if (c >= '0' && c <= '9')
        *value = c - '0';
    else if (c >= 'a' && c <= 'f')
        *value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        *value = c - 'A' + 10;
    else
        return false;
    return true;
}
} // namespace

// The AES block operation; chaining, padding and the container are ours.
struct CipherContext::Engine
{
    EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
    ~Engine() { EVP_CIPHER_CTX_free(ctx); }
};

CipherContext::CipherContext()
    : ivBytes(programIv())
    , engine(std::make_unique<Engine>())
{
}

CipherContext::~CipherContext() = default;

QByteArray CipherContext::programKey()
{
    // Kept in pieces so the key does not sit in the binary as one string.
    static const char *const pieces[] = {"7305", "1948", "6621", "0837", "5592", "4016", "2783", "9150"};
    QByteArray key;
    key.reserve(32);
    for (const char *piece : pieces)
        key.append(piece, 4);
    return key;
}

QByteArray CipherContext::programIv()
{
    static const char *const pieces[] = {"4821", "0976", "3358", "1642"};
    QByteArray iv;
    iv.reserve(16);
    for (const char *piece : pieces)
        iv.append(piece, 4);
    return iv;
}

CipherContext::Result CipherContext::importKey(const QByteArray &key)
{
    if (key.size() != 32)
        return BadArgument3;
    if (!engine->ctx)
        return OutOfMemory;
    keyBytes = key;
    return Success;
}

CipherContext::Result CipherContext::setIv(const QByteArray &iv)
{
    if (iv.size() != BlockSize)
        return BadArgument3;
    ivBytes = iv;
    return Success;
}

qint64 CipherContext::encryptedLength(qint64 plainLength)
{
    return (plainLength + BlockSize - 1) / BlockSize * BlockSize + PrefixSize;
}

CipherContext::Result CipherContext::cryptBlocks(const char *in, char *out, int blocks, bool encrypting)
{
    if (EVP_CipherInit_ex(engine->ctx, EVP_aes_256_ecb(), nullptr, reinterpret_cast<const uchar *>(keyBytes.constData()),
                          nullptr, encrypting ? 1 : 0) != 1
        || EVP_CIPHER_CTX_set_padding(engine->ctx, 0) != 1)
        return GeneralFailure;

    const bool cbc = opts & Cbc;
    if (!cbc || !encrypting) {
        // ECB, and the block step of CBC decryption, need no chaining: one call for all blocks.
        int written = 0;
        if (EVP_CipherUpdate(engine->ctx, reinterpret_cast<uchar *>(out), &written,
                             reinterpret_cast<const uchar *>(in), blocks * BlockSize) != 1
            || written != blocks * BlockSize)
            return GeneralFailure;
        return Success;
    }
    char chain[BlockSize];
    std::memcpy(chain, ivBytes.constData(), BlockSize);
    for (int i = 0; i < blocks; ++i) {
        char block[BlockSize];
        std::memcpy(block, in + i * BlockSize, BlockSize);
        xorBlock(block, chain);
        int written = 0;
        if (EVP_CipherUpdate(engine->ctx, reinterpret_cast<uchar *>(out + i * BlockSize), &written,
                             reinterpret_cast<const uchar *>(block), BlockSize) != 1
            || written != BlockSize)
            return GeneralFailure;
        std::memcpy(chain, out + i * BlockSize, BlockSize);
    }
    ivBytes = QByteArray(chain, BlockSize);
    return Success;
}

CipherContext::Result CipherContext::encrypt(const QByteArray &plain, QByteArray &out)
{
    if (keyBytes.isEmpty())
        return NoKey;
    const qint64 needed = encryptedLength(plain.size());
    if (needed > std::numeric_limits<int>::max())
        return BadArgument3;
    const int blocks = int((needed - PrefixSize) / BlockSize);
    const int padLength = blocks * BlockSize - plain.size();

    QByteArray padded = plain;
    for (int i = 1; i <= padLength; ++i)
        padded.append(static_cast<char>(i));

    out = QByteArray(magic, 4);
    out.append(static_cast<char>(version));
    out.append(static_cast<char>(typeEncryptedData));
    out.append(static_cast<char>(opts & 0xFF));
    out.append(static_cast<char>(opts >> 8));
    out.append(static_cast<char>(padLength > 0 ? flagPadded : 0));
    out.append(HeaderSize - out.size(), '\0');
    out.append(ivBytes);
    out.resize(int(needed));

    const Result result = cryptBlocks(padded.constData(), out.data() + PrefixSize, blocks, true);
    if (result != Success)
        out.clear();
    return result;
}

CipherContext::Result CipherContext::checkContainer(const QByteArray &container)
{
    if (container.size() < PrefixSize || container.size() % BlockSize != 0)
        return BadArgument3;
    const uchar *h = reinterpret_cast<const uchar *>(container.constData());
    const quint16 options = static_cast<quint16>(h[6] | (h[7] << 8));
    if (std::memcmp(h, magic, 4) != 0 || h[4] != version || h[5] != typeEncryptedData)
        return BadHeaderOrPadding;
    if (options == 0 || (options & ~0x000F) || ((options & Ecb) && (options & Cbc)))
        return BadHeaderOrPadding;
    if (h[8] > flagPadded)
        return BadHeaderOrPadding;
    return Success;
}

CipherContext::Result CipherContext::decrypt(const QByteArray &container, QByteArray &out)
{
    out.clear();
    const Result check = checkContainer(container);
    if (check != Success)
        return check;
    if (keyBytes.isEmpty())
        return NoKey;

    const int blocks = (container.size() - PrefixSize) / BlockSize;
    const bool cbc = static_cast<uchar>(container.at(6)) & Cbc;
    const bool padded = static_cast<uchar>(container.at(8)) & flagPadded;
    const quint16 savedOptions = opts;
    opts = cbc ? Cbc : Ecb; // the stored options decide the mode, not this context's
    out = QByteArray(blocks * BlockSize, Qt::Uninitialized);
    const Result result = cryptBlocks(container.constData() + PrefixSize, out.data(), blocks, false);
    opts = savedOptions;
    if (result != Success) {
        out.clear();
        return result;
    }
    if (cbc) {
        // Undo the chaining from the back, so each block still sees the ciphertext before it.
        for (int i = blocks - 1; i >= 0; --i)
            xorBlock(out.data() + i * BlockSize, container.constData() + HeaderSize + i * BlockSize);
    }
    if (!padded)
        return Success;

    const int n = out.isEmpty() ? 0 : static_cast<uchar>(out.at(out.size() - 1));
    if (n < 1 || n > BlockSize - 1)
        return BadHeaderOrPadding;
    for (int i = 0; i < n; ++i) {
        if (static_cast<uchar>(out.at(out.size() - n + i)) != i + 1)
            return BadHeaderOrPadding;
    }
    out.chop(n);
    return Success;
}

bool encryptData(const QByteArray &in, QByteArray &out)
{
    CipherContext context;
    context.importKey(CipherContext::programKey());
    const CipherContext::Result result = context.encrypt(in, out);
    if (result != CipherContext::Success)
        qCWarning(lcCipher, "encryption failed with code %d", int(result));
    return result == CipherContext::Success;
}

bool decryptData(const QByteArray &in, QByteArray &out)
{
    const CipherContext::Result check = CipherContext::checkContainer(in);
    if (check != CipherContext::Success) {
        qCWarning(lcCipher, "not a valid encrypted container (code %d)", int(check));
        out.clear();
        return false;
    }
    CipherContext context;
    context.importKey(CipherContext::programKey());
    const CipherContext::Result result = context.decrypt(in, out);
    // A failed pad check still leaves every decrypted byte: a sender may have encrypted whole blocks.
    if (result == CipherContext::Success || result == CipherContext::BadHeaderOrPadding)
        return true;
    qCWarning(lcCipher, "decryption failed with code %d", int(result));
    out.clear();
    return false;
}

bool decryptHexData(const QByteArray &in, QByteArray &out)
{
    QByteArray container(CipherContext::HeaderSize, '\0');
    std::memcpy(container.data(), magic, 4);
    container[4] = static_cast<char>(version);
    container[5] = static_cast<char>(typeEncryptedData);
    container[6] = static_cast<char>(CipherContext::Cbc);
    container[8] = static_cast<char>(flagPadded);
    container += CipherContext::programIv();

    int digitCount = 0;
    for (char c : in) {
        int value = 0;
        digitCount += isHexDigit(c, &value) ? 1 : 0;
    }
    // Pairs are formed from the end, so an odd count leaves the first digit as a byte of its own.
    const int start = container.size();
    container.resize(start + (digitCount + 1) / 2);
    int position = start;
    bool high = digitCount % 2 == 0;
    int current = 0;
    for (char c : in) {
        int value = 0;
        if (!isHexDigit(c, &value))
            continue;
        if (high) {
            current = value << 4;
            high = false;
        } else {
            container[position++] = static_cast<char>(current | value);
            current = 0;
            high = true;
        }
    }
    return decryptData(container, out);
}

bool encryptHexData(const QByteArray &in, QByteArray &out)
{
    QByteArray container;
    if (!encryptData(in, container))
        return false;
    out = container.mid(CipherContext::PrefixSize).toHex();
    return true;
}
