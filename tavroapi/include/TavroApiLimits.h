/* TavroApiLimits.h - the numbers of TavroApi.h's contract, which the tray
 * program, both TavroApi.DLL libraries, the applet and the test stand-ins all
 * rely on: the sizes of the buffers the adapter's texts are copied into, the
 * highest item of the collection, and the bits of the radio state. TavroApi.h
 * itself stays as it was published; these are what its comments promise.
 */
#ifndef TAVROAPILIMITS_H
#define TAVROAPILIMITS_H

/* CWrapNetAdapter::GetVendorDescription's buffer, terminator included. */
#define TAVROAPI_DESCRIPTION_BYTES 128
/* CWrapNetAdapter::GetAdapterID's buffer, terminator included. */
#define TAVROAPI_ADAPTER_ID_BYTES 260
/* CWrapNetAdapters::Item takes the indices 0 to this one. */
#define TAVROAPI_LAST_ITEM 31
/* CWrapDriverInterface::GetRadioState: the radio transmits only with both. */
#define TAVROAPI_RADIO_ON        0x1 /* the radio is on in software */
#define TAVROAPI_RADIO_SWITCH_ON 0x2 /* the hardware switch is on */

#endif
