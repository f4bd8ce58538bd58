/* The device service library: the only way the program reaches the keyboard.
 *
 * The program loads libHidServ.so from its own folder at run time and binds every function below
 * by name. Each call names the interface it is for with a 16-byte device filter and carries a
 * request code (HidRequestCode in HidServCode.h); a call whose code does not match is refused with
 * result 0.
 *
 * Lasting reads (RequestAsyncRead, RequestStatusWrite) call their callback on one of the library's
 * own threads: kind 1 for every input report of the interface, kind 0 for every change in the
 * number of attached interfaces that match the filter. The callback returns 1.
 *
 * The backend is chosen by the environment variable BRINDLE_DEVICE: unset or "hidraw" is the real
 * keyboard, "sim" the virtual keyboard at its default socket, "sim:PATH" the one at PATH.
 */
#ifndef BRINDLE_HIDSERV_H
#define BRINDLE_HIDSERV_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define HID_FILTER_FLAGS_ALL 15u /* vendor, product, usage page and usage all compared */

#define HID_VENDOR_ID 0x0C45u
#define HID_PRODUCT_ID 0x5204u

/* The keyboard's three interfaces, by usage page and usage of their report descriptors. */
#define HID_USAGE_PAGE_CONTROL 0xFF1Cu /* vendor interface: 64-byte configuration reports */
#define HID_USAGE_CONTROL 0x0092u
#define HID_USAGE_PAGE_CONSUMER 0x000Cu /* notifications: a 16-bit consumer code each */
#define HID_USAGE_CONSUMER 0x0001u
#define HID_USAGE_PAGE_LOCKS 0x0008u /* lock-status interface: the extra-key bank */
#define HID_USAGE_LOCKS 0x0089u

#define HID_EVENT_DEVICE_CHANGE 0u
#define HID_EVENT_INPUT 1u

#pragma pack(push, 1)
typedef struct HidDeviceFilter {
    uint32_t flags; /* always HID_FILTER_FLAGS_ALL */
    uint16_t vendorId;
    uint16_t productId;
    uint16_t usagePage;
    uint16_t usage;
    uint8_t reserved[4]; /* zero */
} HidDeviceFilter;
#pragma pack(pop)

/* Carried by consumer-interface input events only. The record was laid out for 4-byte pointers
 * with the code's address at byte 28; on 64-bit builds the same field is naturally aligned and sits
 * at byte 32. Callers read it by name, never by offset. */
typedef struct HidInputRecord {
    uint32_t reserved[7];
    const uint16_t* consumerCode;
} HidInputRecord;

typedef struct HidRequestRecord {
    uint32_t tag;   /* the tag the lasting read was registered with */
    uint32_t count; /* kind 1: bytes at data; kind 0: number of attached matching interfaces */
    const uint8_t* data;
    uint32_t reserved;
    const HidInputRecord* input; /* consumer channel only, else null */
} HidRequestRecord;

typedef struct HidEventRecord {
    uint32_t kind; /* HID_EVENT_INPUT or HID_EVENT_DEVICE_CHANGE */
    uint32_t reserved;
    const HidRequestRecord* request;
} HidEventRecord;

/* Runs on a library thread; the records and the data are valid only during the call. */
typedef int (*HidCallback)(const HidEventRecord* event);

/* > 0 when the service runs. */
int Debug(int level);
int Init(int flags);
int End(void);

/* Number of attached interfaces matching the filter; 0 = keyboard absent. */
int RequestGetDeviceCount(const HidDeviceFilter* filter, HidCallback callback, uint32_t tag,
                          uint32_t code, uint32_t* unitId);

/* Cancels the lasting request with that unit id (0 = none). */
int DeleteRequestFromUnitId(uint32_t unitId);
int DeleteRequestFromHandle(void* handle);

int RequestWrite(const HidDeviceFilter* filter, HidCallback callback, uint32_t tag,
                 const uint8_t* data, uint32_t length, uint32_t code, uint32_t* unitId);

/* Sends one output report of `length` bytes (64 on the control interface); > 0 = accepted. The
 * answer arrives through the control channel's lasting read. */
int RequestWriteOne(const HidDeviceFilter* filter, HidCallback callback, uint32_t tag,
                    const uint8_t* data, uint32_t length, uint32_t code, uint32_t* unitId);

/* Sends a status payload (2 bytes on the lock-status interface), registers the callback and
 * stores the request's unit id. */
int RequestStatusWrite(const HidDeviceFilter* filter, HidCallback callback, uint32_t tag,
                       const uint8_t* data, uint32_t length, uint32_t code, uint32_t* unitId);

int RequestStatusGet(const HidDeviceFilter* filter, HidCallback callback, uint32_t tag,
                     uint8_t* data, uint32_t length, uint32_t code, uint32_t* unitId);

/* Registers a lasting read and stores its unit id. */
int RequestAsyncRead(const HidDeviceFilter* filter, HidCallback callback, uint32_t tag,
                     uint32_t code, uint32_t* unitId);

int RequestStatusSetFeature(const HidDeviceFilter* filter, HidCallback callback, uint32_t tag,
                            const uint8_t* data, uint32_t length, uint32_t code, uint32_t* unitId);

/* Beside the twelve: why the keyboard is absent or could not be opened, e.g. "permission denied
 * on /dev/hidraw3" or "no virtual keyboard listens on PATH"; an empty text when nothing is wrong.
 * Before Init, or when Init failed, the reason Init failed. The text stays valid on the calling
 * thread until its next call of this function. Bind it with dlsym; it may be missing in other
 * builds of the library. */
const char* HidServLastProblem(void);

#ifdef __cplusplus
}
#endif

#endif /* BRINDLE_HIDSERV_H */
