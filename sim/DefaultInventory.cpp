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
