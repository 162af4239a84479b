#include "ecusim/EcuFaultPlan.h"

#include <QStringList>

namespace {

bool ToInt(const QString &text, int min, int max, int *out) {
    bool ok = false;
    const int value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? text.mid(2).toInt(&ok, 16)
                                                                                : text.toInt(&ok, 10);
    if (!ok || value < min || value > max)
        return false;
    *out = value;
    return true;
}

} // namespace

bool ParseFaultPlan(const QString &text, EcuFaultPlan *plan, QString *error) {
    EcuFaultPlan result;
    const QStringList items = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &rawItem : items) {
        const QString item = rawItem.trimmed();
        const int eq = item.indexOf(QLatin1Char('='));
        const QString key = item.left(eq).trimmed().toLower();
        const QStringList args = eq < 0 ? QStringList() : item.mid(eq + 1).split(QLatin1Char(':'));
        auto bad = [&]() {
            if (error)
                *error = QStringLiteral("cannot read fault \"%1\"").arg(item);
            return false;
        };
        if (eq < 0 || args.isEmpty() || args.first().isEmpty())
            return bad();
        const int argc = int(args.size());
        constexpr int Big = 1000000;
        if (key == QLatin1String("silent")) {
            if (argc != 1 || !ToInt(args[0], 0, Big, &result.silentRequests))
                return bad();
        } else if (key == QLatin1String("badsum")) {
            if (argc != 1 || !ToInt(args[0], 0, Big, &result.badChecksumReplies))
                return bad();
        } else if (key == QLatin1String("split")) {
            result.splitReplies = 1;
            if (argc < 2 || argc > 3 || !ToInt(args[0], 2, 4096, &result.splitPieces) ||
                !ToInt(args[1], 0, 60000, &result.splitGapMs) ||
                (argc == 3 && !ToInt(args[2], 0, Big, &result.splitReplies)))
                return bad();
        } else if (key == QLatin1String("stray")) {
            int byte = 0;
            result.strayReplies = 1;
            if (argc > 3 || !ToInt(args[0], 0, 255, &byte) ||
                (argc >= 2 && !ToInt(args[1], 0, 60000, &result.strayGapMs)) ||
                (argc == 3 && !ToInt(args[2], 0, Big, &result.strayReplies)))
                return bad();
            result.strayByte = static_cast<std::uint8_t>(byte);
        } else if (key == QLatin1String("delay")) {
            result.delayReplies = 1;
            if (argc > 2 || !ToInt(args[0], 0, 60000, &result.delayMs))
                return bad();
            if (argc == 2) {
                if (args[1].compare(QLatin1String("all"), Qt::CaseInsensitive) == 0)
                    result.delayReplies = -1;
                else if (!ToInt(args[1], -1, Big, &result.delayReplies))
                    return bad();
            }
        } else if (key == QLatin1String("close")) {
            if (argc > 2 || !ToInt(args[0], 0, Big, &result.closeAfterRequests) ||
                (argc == 2 && !ToInt(args[1], 0, 65536, &result.closeReplyBytes)))
                return bad();
        } else if (key == QLatin1String("badstore")) {
            if (argc > 2 || !ToInt(args[0], 0, Big, &result.badStores) ||
                (argc == 2 && !ToInt(args[1], 0, 65535, &result.badStoreAddress)))
                return bad();
        } else if (key == QLatin1String("letter")) {
            if (argc != 1 || args[0].size() != 1)
                return bad();
            result.onlyLetter = args[0].at(0).toLatin1();
        } else if (key == QLatin1String("random")) {
            int seed = 1;
            if (argc > 2 || !ToInt(args[0], 0, 1000, &result.randomPermille) ||
                (argc == 2 && !ToInt(args[1], 0, Big, &seed)))
                return bad();
            result.randomSeed = std::uint64_t(seed);
        } else {
            return bad();
        }
    }
    *plan = result;
    return true;
}
