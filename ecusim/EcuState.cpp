#include "ecusim/EcuState.h"

#include <cstring>

bool EcuState::versionAtLeast(const char *threshold) const {
    const QByteArray text = version.toLatin1();
    const int n = int(std::strlen(threshold));
    for (int i = 0; i < n; ++i) {
        const unsigned char have = i < text.size() ? static_cast<unsigned char>(text.at(i)) : 0;
        const unsigned char need = static_cast<unsigned char>(threshold[i]);
        if (have != need)
            return have > need;
    }
    return true;
}
