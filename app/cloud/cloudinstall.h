#pragma once

// Installs the cloud area's worker factories into CloudLink (edition 1: the SOAP worker, edition 2: the JSON worker).
void installCloudLinks();
