# The image plug-in host's sources join the convert library here.
