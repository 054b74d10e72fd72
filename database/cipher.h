#pragma once

#include <QByteArray>

#include <memory>

// The encrypted container in which catalogues travel: a 16-byte header ("OAES", version, type, options,
// flags), a 16-byte IV and the AES-256 blocks, the short last block padded with 01, 02, ... k. The program
// writes CBC under its own key and IV; it reads CBC and ECB containers.
class CipherContext
{
public:
    enum Result {
        Success = 0,
        GeneralFailure = 1,
        BadArgument1 = 2,
        BadArgument2 = 3,
        BadArgument3 = 4,
        BadArgument4 = 5,
        BadArgument5 = 6,
        NoKey = 7,
        OutOfMemory = 8,
        BufferTooSmall = 9,
        BadHeaderOrPadding = 10,
    };

    // The option bits of a container's header.
    enum Option : quint16 {
        Ecb = 0x0001,
        Cbc = 0x0002,
        StepTracingOn = 0x0004,
        StepTracingOff = 0x0008,
    };

    static constexpr int HeaderSize = 16;
    static constexpr int BlockSize = 16;
    static constexpr int PrefixSize = HeaderSize + BlockSize; // header and IV

    CipherContext(); // CBC, tracing off, the program's IV
    ~CipherContext();
    CipherContext(const CipherContext &) = delete;
    CipherContext &operator=(const CipherContext &) = delete;

    // 32 bytes; anything else is refused with BadArgument3 and keeps an earlier key.
    Result importKey(const QByteArray &key);
    // The IV of the next encryption: 16 bytes, anything else is refused with BadArgument3.
    Result setIv(const QByteArray &iv);

    // Bytes a container of `plainLength` bytes needs.
    static qint64 encryptedLength(qint64 plainLength);
    // Writes the container of `plain` into `out` (resized to fit).
    Result encrypt(const QByteArray &plain, QByteArray &out);
    // Decrypts a container into `out`. On BadHeaderOrPadding from the pad check `out` still holds every
    // decrypted byte; on a header or length rejection it is empty.
    Result decrypt(const QByteArray &container, QByteArray &out);

    // Checks the header and the length of a container without decrypting it.
    static Result checkContainer(const QByteArray &container);

    // The program's fixed key and IV.
    static QByteArray programKey();
    static QByteArray programIv();

private:
    struct Engine;
    Result cryptBlocks(const char *in, char *out, int blocks, bool encrypting);

    quint16 opts = Cbc | StepTracingOff;
    QByteArray ivBytes;
    QByteArray keyBytes;
    std::unique_ptr<Engine> engine;
};

// The container of `in`, CBC under the program's key and IV. Always true.
bool encryptData(const QByteArray &in, QByteArray &out);
// The plaintext of a container. False, with `out` empty, when the container breaks a header rule, its length
// is not a multiple of 16 or it is shorter than header and IV. A failed pad check keeps every decrypted byte
// and still counts as success, as a sender may encrypt data that needed no padding.
bool decryptData(const QByteArray &in, QByteArray &out);
// The plaintext of the hex text of a container's encrypted blocks (CBC, program key and IV, padded).
bool decryptHexData(const QByteArray &in, QByteArray &out);
// The inverse of decryptHexData: the hex text (lower case, no separators) of the encrypted blocks.
bool encryptHexData(const QByteArray &in, QByteArray &out);
