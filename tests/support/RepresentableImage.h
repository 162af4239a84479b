#pragma once
// Calibration images whose every word the controls can hold exactly, so that decoding into the windows
// and encoding again must give them back word for word, and images with words the controls cannot show.
// Values are written out as the raw words.
#include <QString>
#include <QVector>
#include <cstdint>

inline std::uint16_t textWord(char first, char second) {
    return std::uint16_t(std::uint8_t(first) << 8 | std::uint8_t(second));
}

inline void putTextWords(QVector<std::uint16_t> &image, int start, const char *text, int chars) {
    for (int i = 0; i < chars; i += 2)
        image[start + i / 2] = textWord(text[i], text[i + 1]);
}

inline bool atLeast3FA(const QString &version) {
    return version.startsWith(QLatin1String("3FA"));
}

inline QVector<std::uint16_t> representableImage(const QString &version) {
    const bool full = atLeast3FA(version);
    const bool ab = full && version.mid(3, 3) >= QLatin1String("1AB");
    const bool ac = full && version.mid(3, 3) >= QLatin1String("1AC");
    const bool ad = full && version.mid(3, 3) >= QLatin1String("1AD");
    QVector<std::uint16_t> image(full ? 1089 : 511, 0);

    // Fuel map: ms x 100, unsigned, up to the top of the word.
    for (int w = 0; w < 400; ++w)
        image[w] = std::uint16_t((w * 977) % 4096);
    image[399] = 65535;
    // Water table: % x 10, sign-magnitude (0x8032 is -5.0 %).
    for (int i = 0; i < 32; ++i)
        image[400 + i] = i % 2 ? std::uint16_t(0x8000 | (i * 31)) : std::uint16_t(i * 29);
    image[401] = 0x8032;
    image[402] = 1000;
    image[403] = 0x8000 | 1000;

    // Cylinders (item 3 = code 18); from generation "2" the Hall-sensor pickup in the high byte.
    image[432] = version.startsWith('1') ? 18 : 0x0100 | 18;
    image[433] = 2;   // stroke mode item 1 ("4")
    image[434] = 230; // engine-load max
    image[435] = 12;  // engine-load min
    if (full) {
        putTextWords(image, 436, "Water-temp", 10);
        putTextWords(image, 441,
                     "\xB0"
                     "C    ",
                     6);
        image[444] = 1;
        image[445] = 0, image[446] = 135;     // 135, not scaled
        image[447] = 0x8000, image[448] = 20; // -20
    } else {
        putTextWords(image, 436, "Lambda 12 ", 10);
        putTextWords(image, 441, "mV    ", 6);
        image[444] = 0;
        image[445] = 1, image[446] = 4464;    // 700.00 (raw 70000)
        image[447] = 0x8000, image[448] = 50; // -0.50
    }
    image[449] = 100; // second stage (old) 5000 RPM / 50
    image[450] = 7;
    image[451] = 1234; // 12.34 ms
    image[452] = 5;    // lower-RPM and higher-RPM interpolation
    image[453] = 150 << 8 | 80;
    image[454] = 200 << 8 | 100;
    image[455] = 0 << 8 | 1;
    if (ad)
        image[456] = 3 | 16; // boost factor
    else if (ac)
        image[456] = 3 | 8; // boost table
    else if (full)
        image[456] = 3 | 4; // MAP
    else if (version.startsWith('2'))
        image[456] = 2; // inlet-temperature correction only
    else
        image[456] = 1; // battery correction only
    image[457] = 2;     // "E-log"
    putTextWords(image, 458, "Remark line one, spaces follow  ", 32);
    putTextWords(image, 474, "................................", 32);
    putTextWords(image, 490, "   third line  with  gaps       ", 32);
    if (full) {
        image[506] = 240;
        image[507] = 15;
        image[508] = 250;
        image[509] = 9999;
    }
    if (!full)
        return image;

    for (int k = 0; k < 25; ++k)
        image[512 + k] = std::uint16_t(60 + 50 * k); // 600 .. 12600 RPM / 10
    for (int i = 0; i < 32; ++i)
        image[537 + i] = i % 3 ? std::uint16_t(i * 33) : std::uint16_t(0x8000 | (i * 17 + 1));
    image[569] = 50 << 8 | 20;
    image[570] = 95 << 8 | 25;
    image[571] = 25 << 8 | 200;
    image[572] = 30 << 8 | 40;
    image[573] = 50 << 8 | 60;
    image[574] = (ad ? 2 : ac ? 3 : ab ? 0 : 1) << 8;
    image[575] = 40 << 8 | 158; // overrun fuel cut 2000 RPM, TPS 15.8
    image[576] = 1;
    image[577] = 250; // soft limit 12500
    for (int i = 0; i < 32; ++i)
        image[578 + i] = std::uint16_t(310 * i); // battery ms x 1000, whole hundredths
    image[610] = 0 << 8 | 30;                    // -20 and 10 degrees
    image[611] = 60 << 8 | 155;                  // 40 and 135 degrees
    image[612] = 0, image[613] = 1000, image[614] = 2000, image[615] = 4047;
    for (int i = 0; i < 8; ++i)
        image[616 + i] = std::uint16_t((250 - 10 * i) << 8 | (i * 7));
    for (int i = 0; i < 16; ++i)
        image[624 + i] = std::uint16_t(20 * (i % 4 + 1) + i);
    image[639] = 65535;
    image[640] = 1, image[641] = 125, image[642] = 30;    // Enginespeed on 12500, off 3000
    image[643] = 4, image[644] = 90, image[645] = 0x8005; // Water-temp. on 90, off -5
    image[646] = 3;                                       // inverted, mode 1
    image[647] = 2, image[648] = 125, image[649] = 32;    // TPS on 12.5, off 3.2
    image[650] = 3, image[651] = 150, image[652] = 120;   // Boost pressure on 150, off 120
    image[653] = 5;                                       // hysteresis 0.5 TPS
    image[654] = 10;                                      // hysteresis 10 kpa
    if (ab) {
        image[655] = 28738;                          // -12.3 %
        image[656] = ad ? (1 << 8 | 128) : (1 << 8); // air pressure sensor; factor 1.50 from "3FA1AD"
        for (int i = 0; i < 32; ++i)
            image[657 + i] = i % 2 ? std::uint16_t(0x8000 | (i * 11)) : std::uint16_t(i * 13);
    }
    if (ac)
        for (int w = 0; w < 400; ++w)
            image[689 + w] =
                w % 5 ? std::uint16_t((w * 37) % 5001) : std::uint16_t(0x8000 | ((w * 53) % 5000 + 1));
    return image;
}

// "3FA1AD1AA" with words the controls cannot show exactly: fixed values another tool changed, codes no
// list offers, values finer than a field's decimals or beyond its range. They come back only from the
// image last read or loaded.
inline QVector<std::uint16_t> unrepresentableImage() {
    QVector<std::uint16_t> image = representableImage("3FA1AD1AA");
    image[433] = 0;                                       // stroke mode: no item
    image[436] = textWord('O', 'i');                      // "3FA": the table name shows as "Water-temp"
    image[444] = 0;                                       // NTC shows on
    image[446] = 100;                                     // maximum shows 135
    image[456] = 16;                                      // both corrections show on: 16 would become 19
    image[457] = 3;                                       // response type 3: the list has three entries
    image[510] = 77, image[511] = 0x8000;                 // reserved
    image[574] = 2 << 8 | 7;                              // low byte of the throttle-pump type
    image[575] = 40 << 8 | 200;                           // overrun TPS 20.0 shows 15.8
    image[578] = 1234;                                    // battery cells show 0.01 ms: 1.234 shows 1.23
    image[611] = 60 << 8 | 255;                           // 235 degrees shows 135
    image[616] = 255 << 8 | 3;                            // 510 % shows 500, 6 %
    image[640] = 7, image[641] = 44, image[642] = 0x8003; // kind 7 shows "None", thresholds 0
    image[644] = 20000;                                   // water temperature shows 135
    image[646] = 7;                                       // mode code 7 shows as 2: mode 1, not inverted
    image[648] = 200;                                     // TPS 20.0 shows 16.0
    image[655] = 28740;                                   // -12.292 % shows -12.3
    image[656] = 1 << 8 | 1;                              // factor 1.0039 shows 1.00
    return image;
}
