// The Windows transport with the resolver it vets names with, so that tests can give a name the
// address of a server of theirs; SystemTransport gives it the system's (getaddrinfo).
#pragma once

#include <memory>
#include <string>

#include "checks/check_transport.h"
#include "checks/vetted_socket.h"

namespace zentrova::checks::windows {

std::unique_ptr<Transport> WinHttpTransport(const AddressRule& rule, std::string userAgent,
                                            Resolver resolve);

}  // namespace zentrova::checks::windows
