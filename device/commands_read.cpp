// Read commands. Each pre-fills the answer with the caller's current values
// in the bytes that carry results, so a failed exchange hands them back
// unchanged; 80H writes only after success and A1H's pre-image carries no
// caller value (a failed read yields profile 0).
#include "hid_thread.h"

using packet::make;

void Hid_Thread::hid_80H_GetFWVersion(ushort &version, uchar &mode_UsUk)
{
    if (runShortRead(make(0x80), make(0x80)) != ReadOutcome::Done)
        return;
    version = static_cast<ushort>(rxReport[2] * 256 + rxReport[3]);
    mode_UsUk = (rxReport[4] >> 1) & 1;
}

void Hid_Thread::hid_82H_GetKeyboardoption(uchar &byte1, uchar &byte2, uchar &byte3)
{
    if (runShortRead(make(0x82), make(0x82, byte1, byte2, byte3)) == ReadOutcome::NotClaimed)
        return;
    byte1 = rxReport[2];
    byte2 = rxReport[3];
    byte3 = rxReport[4];
}

void Hid_Thread::hid_84H_GetButtonSensitivity(uchar &sens1)
{
    if (runShortRead(make(0x84), make(0x84, sens1)) == ReadOutcome::NotClaimed)
        return;
    sens1 = rxReport[2];
}

void Hid_Thread::hid_88H_GetLEDType(uchar &type, uchar &brightness, uchar &speed, uchar &direction,
                                    uchar &color, uchar &type_Side)
{
    if (runShortRead(make(0x88), {0x88, type, brightness, speed, direction, color, type_Side, 0x00}) ==
        ReadOutcome::NotClaimed)
        return;
    type = rxReport[2];
    brightness = rxReport[3];
    speed = rxReport[4];
    direction = rxReport[5];
    color = rxReport[6];
    type_Side = rxReport[7];
}

void Hid_Thread::hid_8CH_GetKeyMatrix_1(uchar *src128)
{
    runBulkRead(make(0x8C), src128, 128);
}

void Hid_Thread::hid_8DH_GetKeyMatrix_2(uchar *src128)
{
    runBulkRead(make(0x8D), src128, 128);
}

void Hid_Thread::hid_90H_GetMacroKey(uchar macroId, uchar *src128)
{
    runBulkRead(make(0x90, 0x00, macroId), src128, 128);
}

void Hid_Thread::hid_92H_GetUserPicture(uchar index, uchar colorIndex, uchar *src128)
{
    runBulkRead(make(0x92, 0x00, index, colorIndex), src128, 128);
}

void Hid_Thread::hid_A1H_GetCurrentProfile(uchar &profileId)
{
    if (runShortRead(make(0xA1), make(0xA1)) == ReadOutcome::NotClaimed)
        return;
    profileId = rxReport[2];
}

void Hid_Thread::hid_B0H_GetSevenColor(uchar *src64)
{
    runBulkRead(make(0xB0), src64, 64);
}
