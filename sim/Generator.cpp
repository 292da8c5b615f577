// Large inventories for scale tests and benchmarks:
//   "generate": {"adapters": 4, "ports": 2, "targets": 64, "luns": 64}
#include <cstdio>

#include "sim/SimCore.h"

namespace sim {

json GenerateInventory(const json& spec) {
  if (!spec.is_object()) throw std::runtime_error("\"generate\" must be an object");
  const uint64_t adapters = Number(spec.value("adapters", json(1)));
  const uint64_t ports = Number(spec.value("ports", json(1)));
  const uint64_t targets = Number(spec.value("targets", json(0)));
  const uint64_t luns = Number(spec.value("luns", json(0)));
  if (adapters > 255 || ports > 255 || targets > 65535 || luns > 65535)
    throw std::runtime_error("\"generate\" asks for more than 255 adapters or ports, or 65535 targets or LUNs");
  const json device = spec.value("device", json("0x2230"));
  json out = json::array();
  char buf[64];
  for (uint64_t a = 0; a < adapters; ++a) {
    json adapter;
    snprintf(buf, sizeof buf, "GEN%05llu", static_cast<unsigned long long>(a));
    adapter["serial"] = buf;
    adapter["model"] = "KX3262";
    adapter["pci"] = {{"device", device}};
    adapter["ports"] = json::array();
    for (uint64_t p = 0; p < ports; ++p) {
      json entry;
      snprintf(buf, sizeof buf, "21:00:00:c8:a1:%02x:%02x:00", static_cast<unsigned>(a), static_cast<unsigned>(p));
      entry["wwpn"] = buf;
      snprintf(buf, sizeof buf, "20:00:00:c8:a1:%02x:%02x:00", static_cast<unsigned>(a), static_cast<unsigned>(p));
      entry["wwnn"] = buf;
      entry["targets"] = json::array();
      for (uint64_t t = 0; t < targets; ++t) {
        json target;
        snprintf(buf, sizeof buf, "50:00:%02x:%02x:%02x:%02x:00:01", static_cast<unsigned>(a),
                 static_cast<unsigned>(p), static_cast<unsigned>(t >> 8), static_cast<unsigned>(t & 0xFF));
        target["wwpn"] = buf;
        json lunList = json::array();
        for (uint64_t l = 0; l < luns; ++l) lunList.push_back(l);
        target["luns"] = std::move(lunList);
        entry["targets"].push_back(std::move(target));
      }
      adapter["ports"].push_back({{"number", p}, {"entries", json::array({std::move(entry)})}});
    }
    out.push_back(std::move(adapter));
  }
  return out;
}

}  // namespace sim
