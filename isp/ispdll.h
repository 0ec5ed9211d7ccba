/* libISPDLL.so: in-system programming of the Q3 keyboard's boot loader.
 *
 * The boot loader enumerates as USB HID 0x04D9/0x8022, usage page 0xFF00,
 * usage 0x0020, with 64-byte input and output reports; isp/PROTOCOL.md gives
 * every report byte by byte, so another library with this ABI can replace
 * this one.
 *
 * All calls are synchronous and return within about a second per device
 * exchange, also when the boot loader vanishes or answers garbage. Result 0
 * is success for every call except LockAll (non-zero success) and GetMCUInfo
 * (non-zero: record filled). Failure codes are the ISP_E_* values below.
 * The library keeps one loaded image and one connection per process; its
 * calls may come from any thread, one at a time or not.
 */
#ifndef GEARPANEL_ISPDLL_H
#define GEARPANEL_ISPDLL_H

#pragma GCC visibility push(default)

#ifdef __cplusplus
extern "C" {
#endif

#define ISP_OK 0
#define ISP_E_NOT_CONNECTED 1 /* no boot loader found, or the connection is gone */
#define ISP_E_ARGUMENT 2      /* an argument out of range; nothing was sent */
#define ISP_E_NO_IMAGE 3      /* no image loaded, or LoadProgdata refused it */
#define ISP_E_TRANSFER 4      /* a report could not be sent, or no valid answer came in time */
#define ISP_E_DEVICE 5        /* the boot loader answered with a failure status */
#define ISP_E_MISMATCH 6      /* flash differs from the image, or is not blank */

/* Copies `length` bytes of `image` as the image to program (byte 0 goes to
 * flash address 0). Refused with ISP_E_NO_IMAGE when image is NULL, with
 * ISP_E_ARGUMENT when length is 0 or larger than 65536 bytes or, while
 * connected, than the boot loader's flash; a refusal drops the image loaded
 * before and sets all outputs to 0. On success:
 *   *out1  image length in bytes
 *   *out2  format word: 0x8000, a plain binary image from flash address 0
 *   *out3  32-bit sum of all image bytes (its low 16 bits are GetChksum(1))
 *   *out4  GetChksum(2)
 *   *out5  pages the image covers, with the page size GetMCUInfo reports
 *   *out6  firmware version of the image's version block, 0 without one
 * Any output pointer may be NULL. */
int LoadProgdata(unsigned char *image, unsigned int length, unsigned int *out1, unsigned short *out2,
                 unsigned int *out3, unsigned short *out4, unsigned int *out5, unsigned short *out6);

/* Fills a 36-byte record of 32-bit host-order fields; the caller sets
 * field 0 to the record size, at least 36, or nothing is written and 0 is
 * returned:
 *   +0  record size (left as set)     +4  page size in bytes
 *   +8  page count                    +12 flash size in bytes (saturated)
 *   +16 program block: the most bytes one PartialProgram call takes
 *   +20 protocol version              +24 1 when the flash is locked
 *   +28 1 when the record describes the connected boot loader, 0 when it
 *       gives the target MCU's geometry (before ConnectToBootloader and
 *       after DisConnectBootloader): 512-byte pages x 128, block 1024
 *   +32 boot loader version, 0 when not connected
 * Returns 1 when the record was filled. */
int GetMCUInfo(void *record);

/* kind 1: sum of the loaded image's bytes modulo 65536 (the checksum of a
 * data.bin file); kind 2: its CRC-16/CCITT-FALSE. 0 for any other kind and
 * when no image is loaded. */
unsigned short GetChksum(int kind);

/* Finds the boot loader, opens it and starts a session; a connection made
 * before is closed first. */
int ConnectToBootloader(void);

/* Erases page `page`. a = 1 checks afterwards that the page reads blank
 * (ISP_E_MISMATCH if not), a = 0 erases only; b is ignored. */
int EraseByPage(unsigned short page, int a, int b);

/* a = 0: every page of the flash must be blank (0xFF); a = 1: only the pages
 * the loaded image covers. Not blank: ISP_E_MISMATCH. */
int BlankCheck(int a);

/* Programs `length` bytes (1 .. program block) from flash address
 * `startAddress` with the loaded image's bytes at the same offsets; bytes
 * past the image's end are programmed as 0xFF (left erased). */
int PartialProgram(unsigned short startAddress, unsigned short length);

/* Compares page `page` with the loaded image. a = 1: the whole page, bytes
 * past the image's end must be 0xFF; a = 0: only the bytes the image covers.
 * b is ignored. Differences: ISP_E_MISMATCH. */
int VerifyByPage(unsigned short page, int a, int b);

/* Selects when the boot loader starts the programmed user program: a = 1 at
 * the next power-up only, a = 2 also at once on SwitchToUserProgram. Other
 * values: ISP_E_ARGUMENT. */
int ExecuteProgramFrom(int a);

/* Locks the flash: programming is refused until a page is erased again.
 * Returns 1 when locked, 0 on any failure. */
int LockAll(void);

/* Asks the boot loader to start the user program; with start mode 2 (the
 * boot loader's default) the keyboard then leaves the boot loader and comes
 * back in normal mode. The connection ends either way. */
int SwitchToUserProgram(void);

/* Ends the session and closes the device; harmless when not connected. */
int DisConnectBootloader(void);

#ifdef __cplusplus
}
#endif

#pragma GCC visibility pop

#endif
