// The maker of the program as the information window presents him: the
// address that feedback goes to, the first name the e-mail greets, and the
// contact details of the window's contact view (the web address there is
// the maker's server, DefaultUpdateHost). The product's own name, version
// and copyright notice are in support/product.h.
#pragma once

inline constexpr char MakerFirstName[] = "Ruud";
inline constexpr char MakerFullName[] = "Ruud Verbeek";
inline constexpr char MakerEmail[] = "ruud.verbeek@kestrom.nl";
inline constexpr char MakerStreet[] = "Kleine Houtstraat 21";
inline constexpr char MakerTown[] = "2011 DD  Haarlem";
inline constexpr char MakerTelephone[] = "Tel. 023 - 555 46 80";
