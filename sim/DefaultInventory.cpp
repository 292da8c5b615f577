// The inventory served when no fixture is named: what `kxfcli` shows out of the box.
#include "sim/SimCore.h"

namespace sim {

extern const char* const kDefaultInventory;
const char* const kDefaultInventory = R"json({
  "adapters": [
    {
      "model": "KX3262", "serial": "KXA21350001",
      "pci": {"device": "0x2230", "subDevice": "0x0101"},
      "ports": [
        {"number": 0, "entries": [
          {"wwpn": "21:00:00:c8:a1:30:01:00", "wwnn": "20:00:00:c8:a1:30:01:00",
           "portState": 1, "portType": 1, "connectionMode": 1, "speed": "0x32", "supportedSpeeds": "0x70",
           "portId": "01:0a:00", "driverVersion": "10.4.2.0", "runningFirmwareVersion": "9.12.01",
           "pciBus": "0x3b", "pciDevice": "0x00", "pciFunction": "0x00",
           "pciLinkCapability": "0x84", "pciLinkStatus": "0x83",
           "principalFabricWwn": "10:00:00:c8:a1:ff:00:01", "adjacentFabricWwn": "20:0a:00:c8:a1:ff:00:01",
           "flashBiosVersion": "3.63", "temperature": 47, "driverCapabilities": 2,
           "rdp": {"words": [88, "0x00010001", 4, "0x0E000200", "0x00010002", 28, 0, 2, 1, 0, 5, 0, "0x40000000",
                             "0x00010005", 8, 1204, 0, "0x00010006", 12, 20, 16, 3800]},
           "flashComponents": {"preloadFirmware": "9.12.1", "fcBoardConfig": "1.4.0", "mpiFirmware": "2.3.5",
                               "pepFirmware": "1.2.0", "pepBoardConfig": "1.0.3", "pepSoftRom": "1.0.1",
                               "mpiSoftRom": "2.0.0", "pcieSerdes": "1.1.7"},
           "lockdown": {"config": {"flag": 0, "status": 0}, "firmwareUpdate": {"flag": 0, "status": 0},
                        "mpi": {"flag": 0, "status": 0}},
           "sfp": {
             "a0": "03 04 07 00 00 00 00 20 40 04 54 01 55 0c 00 00 03 01 0f 07",
             "text": {"20": "KALTEX-OPTICS   ", "40": "KX-SFP64-SW     ", "56": "A1  ", "68": "KS2345000017    ",
                      "84": "26052100", "96": "Kaltex"},
             "bytes": {"36": "00", "37": "00 c8 a1", "60": "03 52", "62": "00", "63": "7a", "64": "00 1a",
                       "92": "68 f0 08 9c", "149": "01 02",
                       "256": "50 00 f6 00 4b 00 fb 00 8c a0 75 30 88 b8 79 18",
                       "272": "3a 98 00 00 32 c8 01 f4 4e 20 00 64 3e 80 00 c8",
                       "288": "4e 20 00 0a 3e 80 00 14",
                       "312": "00 00 00 00 00 00 00 00 00 00 00 00 3f 80 00 00 00 00 00 00",
                       "332": "01 00 00 00 01 00 00 00 01 00 00 00 01 00 00 00",
                       "351": "5d 21 80 80 e8 1b 58 13 88 0f a0",
                       "366": "02", "368": "00 40", "372": "00 40"}},
           "bbcr": {"status": 1, "configured": 8, "state": 1, "negotiated": 8, "reason": ""},
           "fec": {"status": 1, "correctable": 12, "uncorrectable": 0},
           "firmwareAttributes": "0x24", "optionRomFlags": 10,
           "dportResult": {"startTime": "Sat Dec  5 10:00:00 2026\n", "stopTime": "Sat Dec  5 10:00:41 2026\n",
                           "hbaValue": 0, "hbaStatus": 1, "electricalStatus": 1, "opticalStatus": 1,
                           "trafficStatus": 1, "latency": 412, "distance": 12, "localTxPower": 5623,
                           "localRxPower": 4786, "remoteTxPower": 5129, "remoteRxPower": 4898},
           "flashMemo": {"mbiVersion": "3.40.12", "buildDate": "20240611", "toolCode": "KXFL",
                         "toolVersion": [1, 7, 4, 0], "updated": [2024, 9, 2, 14, 5, 31]},
           "fwDump": {"size": 256},
           "linkFailures": 1, "lossOfSync": 3, "lossOfSignal": 1, "invalidCrcs": 0,
           "controllerErrors": 0, "deviceErrors": 0, "ioCount": 1842337, "megaBytes": 90211, "interrupts": 2204918,
           "capabilityFlags": "0x04000000", "scmNotifications": 7, "scmFabricFlags": 3, "scmVirtualLane": 1,
           "scmIoThrottling": 1, "scmSecondsSinceEvent": 3600, "scmrStats": [
             {"kind": 128, "counters": [2, 14, 1, 3, 3, 0, 0, 1, 0, 3, 1, 0, 0, 0, 0, 0, 1, 0, 0, 4, 1, 2, 1, 0]},
             {"kind": 2, "wwpn": "50:00:c8:a1:00:00:10:01", "counters": [0, 0, 1, 2, 2, 0, 0, 0, 0, 1, 0, 0, 0, 0,
                                                                        0, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 3]}],
           "targets": [
             {"wwpn": "50:00:c8:a1:00:00:10:01", "luns": [0, 1, 2]},
             {"wwpn": "50:00:c8:a1:00:00:20:01", "nvme": true, "luns": [1, 2]}
           ]},
          {"wwpn": "21:00:00:c8:a1:30:01:80", "wwnn": "20:00:00:c8:a1:30:01:80", "interface": 3,
           "portState": 1, "speed": "0x32", "supportedSpeeds": "0x70",
           "targets": [{"wwpn": "50:00:c8:a1:00:00:10:02", "luns": [0]}]}
        ]},
        {"number": 1, "entries": [
          {"wwpn": "21:00:00:c8:a1:30:01:01", "wwnn": "20:00:00:c8:a1:30:01:01",
           "portState": 3, "speed": "0x00", "supportedSpeeds": "0x70",
           "targets": []}
        ]}
      ]
    },
    {
      "model": "KX1642", "serial": "KXB16420007",
      "pci": {"device": "0x2350", "subDevice": "0x0C01"},
      "ports": [
        {"number": 0, "entries": [
          {"wwpn": "10:00:00:c8:a1:16:42:07", "wwnn": "20:00:00:c8:a1:16:42:07",
           "portState": 1, "speed": "0x16", "supportedSpeeds": "0x38",
           "targets": [{"wwpn": "50:00:c8:a1:00:00:30:01", "luns": [0, 5]}]}
        ]}
      ]
    },
    {
      "model": "KX0800", "serial": "KXC00000042",
      "pci": {"device": "0x2700"},
      "ports": null
    }
  ]
})json";

}  // namespace sim
