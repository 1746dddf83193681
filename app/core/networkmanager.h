#pragma once

// Network configuration, status and services of the terminal (static functions only).
class NetworkManager {
public:
    // Starts a background SNTP synchronisation when an NTP server is configured.
    static bool syncNtpServer();
};
