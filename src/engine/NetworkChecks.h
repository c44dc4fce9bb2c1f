#pragma once

#include "engine/MonitorCycle.h"

class PingChecks;
class PortChecks;

// The check passes of the cycle on the real network: pings through the ping control, ports
// through the connect elements.
class NetworkChecks final : public CheckPasses {
public:
    NetworkChecks(PingChecks& pings, PortChecks& ports);
    NetworkChecks(const NetworkChecks&) = delete;
    NetworkChecks& operator=(const NetworkChecks&) = delete;

    void Check_Ping(QStringList& DeviceList) override;
    void Check_Ports(QStringList& PortList) override;

private:
    PingChecks& m_pings;
    PortChecks& m_ports;
};
