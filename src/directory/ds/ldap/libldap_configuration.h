#pragma once
// libldap reads its configuration once per process, on its first use: /etc/ldap/ldap.conf,
// ~/ldaprc, ~/.ldaprc, LDAPCONF, LDAPRC and the LDAP<option> variables, and also an ldaprc in
// the current working folder. That last one is anyone's file in a shared folder, and it may name
// the server a password is sent to, so it must never count.

namespace tessary::ds::ldap {

// Makes libldap read its configuration now, with the working folder's ldaprc files left out
// (the user's own files in the home folder, ldap.conf and the environment are read as usual).
// Only the first call does anything; call it before any other thread starts where possible, as
// the working folder is the process's.
void LoadLibldapConfiguration();

}  // namespace tessary::ds::ldap
