#pragma once
// What the counter source measures.

namespace vantor {

enum class TWatchMode {
    wmInterface,  // one interface, by its identity or its position in the table
    wmRoute,      // the interface the default route leaves by, IPv4 then IPv6, checked at every sample
    wmAll,        // the sum of every connection: hardware, not a filter driver's row, connected
};

}  // namespace vantor
