// The signal scale every part of the product shows: a reading in dBm on the
// 0-100 % scale of Windows' own quality, -100 dBm and below 0 %, -50 dBm and
// above 100 %, linear between. Shared by the libraries and the applet.
#ifndef COMMON_SIGNAL_H
#define COMMON_SIGNAL_H

inline unsigned long PercentFromRssi(long dbm) {
    if (dbm <= -100) return 0;
    if (dbm >= -50) return 100;
    return static_cast<unsigned long>(2 * (dbm + 100));
}

#endif
