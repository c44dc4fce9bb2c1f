#pragma once

#include "store/Statement.h"

// Every statement the program runs on the monitoring database. Names of tables and fields
// match without regard to case; values travel as bound parameters, so a quote, a percent sign
// or an underscore in a name is stored and matched exactly.
namespace Catalogue {
Statement allDevices();                           // Load_Data, Check_TVIcons
Statement deviceNames();                          // Monitor_Devices, HTML_Details
Statement device(const QString& device);          // Update_Devices, Update_Ports, properties
Statement deviceForUpdate(const QString& device); // Device_Update
Statement deviceAlias(const QString& device);     // GetAlias
Statement itemStates(const QString& device);      // Check_TVIcons
Statement itemsNotConnected();                    // Monitor_Finish
Statement itemsOfDevice(const QString& device);   // Update_Ports, Load_Data, HTML_Details
Statement item(const QString& device, const QString& port);         // Update_Port, properties
Statement itemPortsOfDevice(const QString& device);                 // Monitor_Devices
Statement pingItem(const QString& device);                          // Ping_Update
Statement itemsLike(const QString& device, const QString& pattern); // Port_Update
Statement portsOfDevice(const QString& device);                     // add-port wizard, first step
Statement knownPorts();                                             // add-port wizard, port list
Statement knownPort(int number);                                    // add-port wizard, adding
Statement reset();                                                  // Load_Data

// A like pattern with "*" for any run of characters, as SQLite's LIKE with "\" escaping.
QString likePattern(const QString& pattern);
} // namespace Catalogue
