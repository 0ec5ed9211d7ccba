// Write commands. Three layouts are easy to get wrong: 10H and 12H carry
// their first parameter in byte 2 (byte 1 stays 0), 08H uses bytes 5 and 6
// for values instead of the 55 AA marker, and 0FH has no marker at all.
#include "hid_thread.h"

using packet::make;

void Hid_Thread::hid_02H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3)
{
    runWrite(make(0x02, byte1, byte2, byte3));
}

void Hid_Thread::hid_04H_SetButtonSensitivity(uchar sens1)
{
    runWrite(make(0x04, sens1));
}

void Hid_Thread::hid_08H_SetLEDType(uchar type, uchar brightness, uchar speed, uchar direction, uchar color,
                                    uchar type_Side)
{
    runWrite({0x08, type, brightness, speed, direction, color, type_Side, 0x00});
}

void Hid_Thread::hid_09H_StopMacroSending()
{
    runWrite(make(0x09, 0xAA, 0xCC, 0xEE));
}

void Hid_Thread::hid_0CH_SetKeyMatrix_1(uchar *src128)
{
    runWrite(make(0x0C), src128, 128);
}

void Hid_Thread::hid_0DH_SetKeyMatrix_2(uchar *src128)
{
    runWrite(make(0x0D), src128, 128);
}

void Hid_Thread::hid_0FH_SetISPBootLoader()
{
    runWrite(packet::makeBootLoader());
}

void Hid_Thread::hid_10H_SetMacroKey(uchar macroId, uchar *src128)
{
    runWrite(make(0x10, 0x00, macroId), src128, 128);
}

void Hid_Thread::hid_12H_SetUserPicture(uchar index, uchar colorIndex, uchar *src128)
{
    runWrite(make(0x12, 0x00, index, colorIndex), src128, 128);
}

void Hid_Thread::hid_13H_SetRecoveryData()
{
    runWrite(make(0x13, 0xFF, 0x1F));
}

void Hid_Thread::hid_21H_SetCurrentProfile(uchar profileId)
{
    runWrite(make(0x21, profileId));
}

void Hid_Thread::hid_30H_SetSevenColor(uchar *src64)
{
    runWrite(make(0x30), src64, 64);
}
