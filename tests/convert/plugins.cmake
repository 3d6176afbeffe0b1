# The plug-in host's tests and test plug-ins.
