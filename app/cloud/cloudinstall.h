#pragma once

// Installs the cloud area's worker factories into CloudLink (edition 1: the SOAP worker).
void installCloudLinks();
