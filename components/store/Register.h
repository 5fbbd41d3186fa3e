#pragma once
// The form-state store's classes in the class registry, with their published properties, so that
// form definitions can hold them. Calling it again does nothing.
void RegisterStoreClasses();
