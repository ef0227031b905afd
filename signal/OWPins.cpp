// signal chain
