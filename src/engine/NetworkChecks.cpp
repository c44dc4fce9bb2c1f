#include "engine/NetworkChecks.h"

#include "engine/PingChecks.h"
#include "engine/PortChecks.h"

NetworkChecks::NetworkChecks(PingChecks& pings, PortChecks& ports)
    : m_pings(pings)
    , m_ports(ports) {}

void NetworkChecks::Check_Ping(QStringList& DeviceList) {
    m_pings.Check_Ping(DeviceList);
}

void NetworkChecks::Check_Ports(QStringList& PortList) {
    m_ports.Check_Ports(PortList);
}
