// Any registry path text: the root names map exactly, and a split path
// either comes apart into root and sub-key that make up the text again, or
// is refused with the one format message and left as it was.

#include "autostart/registrypath.h"
#include "fuzzcheck.h"
#include "platform/messageboxes.h"

#include <QStringList>

#include <cstdint>

namespace {

class Recorder final : public IMessageBoxes {
public:
    void show(const QString &text, const QString &caption) override
    {
        texts << text;
        captions << caption;
    }
    QStringList texts;
    QStringList captions;
};

const char *const RootNames[] = {
    "HKEY_CLASSES_ROOT",     "HKEY_CURRENT_USER",   "HKEY_LOCAL_MACHINE", "HKEY_USERS",
    "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

bool isRootName(const QString &text)
{
    for (const char *name : RootNames) {
        if (text == QLatin1String(name))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));

    const quint32 root = RootKeyFromName(text);
    FUZZ_CHECK((root != RegistryPath::NoRootKey) == isRootName(text));
    FUZZ_CHECK(root == RegistryPath::NoRootKey || (root >= 0x80000000u && root <= 0x80000006u));

    QString path = text;
    Recorder messages;
    const quint32 splitRoot = SplitKeyPath(path, messages);
    const bool wellFormed =
        text.startsWith(QLatin1String("HKEY_")) && !text.endsWith(QLatin1Char('\\'));
    if (!wellFormed) {
        FUZZ_CHECK(splitRoot == RegistryPath::NoRootKey);
        FUZZ_CHECK(path == text);
        FUZZ_CHECK(messages.texts == QStringList{RegistryPath::incorrectFormatMessage(text)});
        FUZZ_CHECK(messages.texts.first().startsWith(QLatin1String("Incorrect Format:\n\n")));
        FUZZ_CHECK(messages.captions == QStringList{QStringLiteral("Zirvel")});
        return 0;
    }
    FUZZ_CHECK(messages.texts.isEmpty());
    const qsizetype slash = text.indexOf(QLatin1Char('\\'));
    const QString rootName = slash < 0 ? text : text.left(slash);
    FUZZ_CHECK(splitRoot == RootKeyFromName(rootName));
    if (slash < 0)
        FUZZ_CHECK(path.isEmpty());
    else
        FUZZ_CHECK(rootName + QLatin1Char('\\') + path == text);
    return 0;
}
